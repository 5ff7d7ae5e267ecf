#pragma once

#include <QString>

// What the offices themselves must spend on a document: `offices` offices side
// by side, each storing an already-filled document as Word 97 after one small
// edit, `documents` stores in all. Milliseconds per document, from the moment
// every office has started and loaded the document.
double OfficeFloorMs(const QString& filledDocument, int documents, int offices);
