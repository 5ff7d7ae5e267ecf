// On a real X server with a window manager (see run-under-wm.sh): each export
// error box over a main window at a few places on the screen must have its
// frame's top-left corner at the main window's frame + the offset. Prints
// every box and exits 1 when one is elsewhere.
#include "windows/ui/MessageBoxes.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QList<QPair<QString, QPoint>> boxes{
        {QStringLiteral("Студента не обрано!"), QPoint(300, 20)},
        {QStringLiteral("Жодного студента не обрано!"), QPoint(300, 20)},
        {QStringLiteral("Шаблон для документа даного типу не задано!"), QPoint(20, 20)},
        // Wraps: the box changes its size as it is shown.
        {QStringLiteral("Шаблон для документа даного типу не відповідає вимогам до його "
                        "структури  або відсутній!"),
         QPoint(20, 20)},
    };
    int wrong = 0;
    for (const QPoint anchorAt : {QPoint(0, 0), QPoint(137, 211)}) {
        QWidget anchor;
        anchor.resize(800, 330);
        anchor.move(anchorAt);
        anchor.show();
        if (!QTest::qWaitForWindowExposed(&anchor))
            return 2;
        QTest::qWait(500);
        for (const auto& [text, offset] : boxes) {
            QPoint landed;
            QTimer::singleShot(0, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!box)
                    return;
                (void)QTest::qWaitForWindowExposed(box);
                // The frame is known once the window manager has put it round.
                QElapsedTimer clock;
                clock.start();
                while (box->frameGeometry() == box->geometry() && clock.elapsed() < 3000)
                    QTest::qWait(50);
                QTest::qWait(300);
                landed = box->frameGeometry().topLeft();
                box->accept();
            });
            MessageBoxes::exportError(&anchor, text, offset);
            const QPoint expected = anchor.frameGeometry().topLeft() + offset;
            const bool right = landed == expected;
            wrong += right ? 0 : 1;
            std::printf("%s frame at %d,%d, expected %d,%d: %s\n", right ? "ok  " : "FAIL",
                        landed.x(), landed.y(), expected.x(), expected.y(),
                        text.toUtf8().constData());
        }
    }
    return wrong == 0 ? 0 : 1;
}
