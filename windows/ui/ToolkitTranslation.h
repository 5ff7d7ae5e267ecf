#pragma once

// The toolkit's own texts (dialog buttons, the file dialog, the edit fields'
// context menus) in Ukrainian, like the rest of the program.
namespace ToolkitTranslation {

// Loads the toolkit's Ukrainian catalogue from its translation folder and
// installs it on the running application, then the program's own catalogue
// of the toolkit texts that one lacks, which wins where both have a text.
// False when the toolkit's catalogue is not installed; the toolkit then
// speaks English but for the texts of the program's own catalogue.
bool install();

// Where the program's own catalogue is embedded.
inline constexpr char16_t OwnCatalogue[] = u":/translations/lumarel_qt_uk.qm";

} // namespace ToolkitTranslation
