#pragma once

#include <QString>

// Writes the embedded document named resourceName ("DemoTempl", "Price";
// letter case does not matter) to folder + fileName, creating the folder and
// its parents and replacing an existing file. The folder may end with a
// separator or not. Throws LumarelError when there is no such document or
// the file cannot be written; the target is then left as it was.
void ExtractResourceFile(const QString& folder, const QString& resourceName, const QString& fileName);
