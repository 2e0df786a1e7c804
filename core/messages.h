#pragma once

#include <string>

// The program's own message texts and titles, shared by the window, the command line and tests.
namespace chanwright::messages {

constexpr const char* kAppTitle = "Chanwright";
constexpr const char* kFileReadError = "FileRead Error!!";
constexpr const char* kFileSaveError = "FileSave Error!!";
constexpr const char* kLackingCharacters = "Saved with \"?\" for characters Windows-1252 lacks: ";
constexpr const char* kModelNameError = "ModelName Error !!";
constexpr const char* kReadFromRadio = "Read from Radio";
constexpr const char* kProgramToRadio = "Program to Radio";
constexpr const char* kClearData = "Clear Data";
constexpr const char* kModelCheck = "Model Check";
constexpr const char* kComplete = "Complete!!";
constexpr const char* kCommunicationError = "Communication Error!!";
constexpr const char* kDataError = "Data Error!!";
// Backups, verify and the serial trace.
constexpr const char* kVerifyRadio = "Verify Radio";
constexpr const char* kRadioMatches = "The radio matches the data being edited.";
constexpr const char* kStageReading = "Reading the radio…";
constexpr const char* kBackupNotKept =
    "The radio's backup could not be saved, so nothing was written to the radio.";
constexpr const char* kNoHelp =
    "Unable to display Help Contents. There is no Help associated with this project.";

constexpr const char* kDataFileFilter = "dat files(*.dat)|*.dat|All files(*.*)|*.*";
constexpr const char* kImageFileFilter = "hex files(*.hex)|*.hex|All files(*.*)|*.*";

// A message with its reason under it, as every message that gives one shows it.
inline std::string WithReason(const char* message, const std::string& reason) {
    return std::string(message) + "\n\n" + reason;
}

}  // namespace chanwright::messages
