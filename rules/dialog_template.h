// The controls of the program's two dialogs as data: one row per control in
// template order, which is also the tab order and the order the radio-group
// rule walks. Positions are dialog units; the window turns them into pixels
// with the dialog font (dialog_units.h) and builds every widget from these
// rows, so layout, grouping, tab order and the enable rules share one source.
#pragma once

#include <span>

namespace corvalt {

enum class ControlKind {
    GroupBox,        // a frame with a caption
    LineEdit,        // single line, scrolls horizontally
    TranscriptEdit,  // multi-line plain text with a vertical scroll bar
    PushButton,
    DefaultButton,  // the push button Enter presses
    CheckBox,
    RadioButton,
    BlackFrame,  // holds the status line
    Label,       // left-aligned text
    Icon,
};

// Row flags.
enum ControlFlag : unsigned {
    kGroupStart = 1u << 0,  // G: starts a group (radio groups, see radio_groups.h)
    kTabStop = 1u << 1,     // T: reachable with Tab
    kDisabled = 1u << 2,    // D: created disabled
};

constexpr int kUnnamedId = -1;

struct ControlSpec {
    int id;
    ControlKind kind;
    const char* caption;  // UTF-8
    int x, y, width, height;
    unsigned flags;
};

struct DialogSize {
    int width, height;  // dialog units
};

// Template 102: the main window.
constexpr DialogSize kMainDialogSize{438, 453};
std::span<const ControlSpec> MainDialogControls();

// Template 100: the About box.
constexpr DialogSize kAboutDialogSize{235, 55};
std::span<const ControlSpec> AboutDialogControls();

// Ids the program addresses by name.
constexpr int kTranscriptEditId = 1028;
constexpr int kCommandEditId = 1016;
constexpr int kFileEditId = 1024;
constexpr int kLoadFileId = 1026;
constexpr int kSendCommandId = 1030;
constexpr int kDownloadId = 1027;
constexpr int kClearDialogId = 1029;
constexpr int kReceiveMagneticDataId = 1032;
constexpr int kConfigurationCommandId = 1033;
constexpr int kAutoAddLengthId = 1031;
constexpr int kStatusFrameId = 1059;
constexpr int kTrack2Id = 1051;
constexpr int kSpecificSentinelEditId = 1075;
constexpr int kApplyInterfaceModeId = 1035;
constexpr int kApplyTracksId = 1041;
constexpr int kApplyFormatId = 1053;
constexpr int kApplyErrorStringId = 1087;
constexpr int kApplyUserSentinelErrorId = 1090;
constexpr int kAboutIconId = 2;  // the icon static has no id of its own in the template
constexpr int kAboutOkId = 1;

// Controls without a caption of their own that a screen reader announces,
// and the control whose caption names them: the group box around the
// transcript, the push buttons beside the command and file edits, the group
// box and the label of the two sentinel edits.
struct CaptionSource {
    int id;
    int captionOf;
};
inline constexpr CaptionSource kMainDialogCaptionSources[] = {
    {kTranscriptEditId, kUnnamedId},
    {kCommandEditId, kSendCommandId},
    {kFileEditId, kLoadFileId},
    {1075, 1074},
    {1078, 1077},
};

// The row of a control, or nullptr when the table has none with that id.
const ControlSpec* FindControl(std::span<const ControlSpec> controls, int id);

}  // namespace corvalt
