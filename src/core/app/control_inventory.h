#pragma once

#include <cstdint>
#include <span>

namespace zek {

// A dialog's controls, declared once: every other piece of the window finds a control
// by its resource ID, which is also its objectName.
enum class ControlKind {
    GroupBox,
    Text,      // static text, left-aligned
    TextRight, // static text, right-aligned
    Edit,
    PushButton,
    DefaultPushButton,
    CheckBox,
    DropDownList,
    ListBox,
    TreeView,
    EtchedLine,
    BitmapStatic,
    GlyphButton,
    // Only in the clock's small dialogs.
    TextCentre,  // static text, centred and wrapped
    RadioButton, // automatic: one of a dialog's radio buttons is checked at a time
};

enum class InputRule {
    None,
    Range, // digits only, value within [rangeMin, rangeMax]
    Hex,   // only "0123456789abcdefABCDEF"
    Time,  // the overtype time entry
};

enum ControlFlag : unsigned {
    NoFlags = 0,
    HiddenInCompact = 1u << 0, // hidden in the compact view, shown in the extended one
    Hidden = 1u << 1,          // never shown
    ReadOnly = 1u << 2,
    Disabled = 1u << 3,
    Checked = 1u << 4,
    FixedFont = 1u << 5,
};

struct ControlSpec {
    int id; // resource ID; 0 for a control that has none (labels, lines)
    ControlKind kind;
    const char* text; // resource text, shown until a language file replaces it
    int x, y, w, h;   // dialog units
    int limit = 0;    // characters the user can type; 0 = unlimited
    InputRule rule = InputRule::None;
    int rangeMin = 0;
    int rangeMax = 0;
    unsigned flags = NoFlags;
};

// A dialog declared as data: its controls in creation order and its size in dialog units.
struct DialogTemplate {
    std::span<const ControlSpec> controls;
    int widthDu;
    int heightDu;
};

// The main dialog.
const DialogTemplate& mainDialog();
std::span<const ControlSpec> controlInventory();
// nullptr for an ID that is not in the inventory (and for 0).
const ControlSpec* findControlSpec(int id);

} // namespace zek
