#pragma once

// The program's own message texts and titles, shared by the window, the command line and tests.
namespace chanwright::messages {

constexpr const char* kAppTitle = "Chanwright";
constexpr const char* kFileReadError = "FileRead Error!!";
constexpr const char* kFileSaveError = "FileSave Error!!";
constexpr const char* kModelNameError = "ModelName Error !!";
constexpr const char* kReadFromRadio = "Read from Radio";
constexpr const char* kProgramToRadio = "Program to Radio";
constexpr const char* kClearData = "Clear Data";
constexpr const char* kModelCheck = "Model Check";
constexpr const char* kComplete = "Complete!!";
constexpr const char* kCommunicationError = "Communication Error!!";
constexpr const char* kDataError = "Data Error!!";
constexpr const char* kNoHelp =
    "Unable to display Help Contents. There is no Help associated with this project.";

constexpr const char* kDataFileFilter = "dat files(*.dat)|*.dat|All files(*.*)|*.*";
constexpr const char* kImageFileFilter = "hex files(*.hex)|*.hex|All files(*.*)|*.*";

}  // namespace chanwright::messages
