#pragma once

#include "windows/ui/MessageBoxes.h"
#include "records/Notifier.h"

// The core's messages as the window program shows them: centred boxes.
class BoxNotifier : public Notifier {
public:
    void showMessage(const QString& text, Icon icon) override
    {
        if (icon == Icon::Error)
            MessageBoxes::centredError(text);
        else
            MessageBoxes::plain(nullptr, text);
    }
};
