#pragma once

// The toolkit's own texts (dialog buttons, the file dialog, the edit fields'
// context menus) in Ukrainian, like the rest of the program.
namespace ToolkitTranslation {

// Loads the toolkit's Ukrainian catalogue from its translation folder and
// installs it on the running application. False when it is not installed;
// the toolkit then speaks English.
bool install();

} // namespace ToolkitTranslation
