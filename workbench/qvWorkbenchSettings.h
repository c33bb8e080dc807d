// qvWorkbenchSettings.h
// The workbench's own settings: section and name keys, defined once, and the registration of
// the whole table with its types and defaults.
#pragma once

class TqvAppSettings;

namespace kiv::settings {

inline constexpr char kMainForm[] = "MainForm";
inline constexpr char kLeft[] = "Left";
inline constexpr char kTop[] = "Top";
inline constexpr char kWidth[] = "Width";
inline constexpr char kHeight[] = "Height";

inline constexpr char kOptions[] = "Options";
inline constexpr char kLexerWizard[] = "LexerWizard";
inline constexpr char kParserWizard[] = "ParserWizard";
inline constexpr char kEmptyProject[] = "EmptyProject";
inline constexpr char kWizardProject[] = "WizardProject";
inline constexpr char kLastProject[] = "LastProject";

inline constexpr char kProject[] = "Project";
inline constexpr char kDefaultUnitDir[] = "DefaultUnitDir";
inline constexpr char kDefaultXchgDir[] = "DefaultXchgDir";

// The File menu's lists of recently used project and grammar files: paths, most recent first,
// one a line.
inline constexpr char kRecent[] = "Recent";
inline constexpr char kRecentProjects[] = "Projects";
inline constexpr char kRecentFiles[] = "Files";

// A window bound with this value was never stored and is not applied.
inline constexpr int kUnsetBound = -9999;

// Registers every workbench setting with its type and default, in the table's order.
void RegisterWorkbenchSettings(TqvAppSettings& store);

// Convenience readers: a Boolean setting (false when unregistered) and a window bound
// (kUnsetBound when unregistered).
bool BoolSetting(const TqvAppSettings& store, const char* section, const char* name);
int BoundSetting(const TqvAppSettings& store, const char* section, const char* name);

}  // namespace kiv::settings
