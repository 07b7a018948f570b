#include "core/app/enter_key.h"

namespace zek {

namespace {

bool isDefault(const ControlSpec& spec) {
    return spec.kind == ControlKind::DefaultPushButton;
}

bool contains(const ControlSpec& group, const ControlSpec& spec) {
    const int cx = spec.x + spec.w / 2;
    const int cy = spec.y + spec.h / 2;
    return cx >= group.x && cx < group.x + group.w && cy >= group.y && cy < group.y + group.h;
}

} // namespace

int enterKeyButton(const DialogTemplate& dialog, int focusedId) {
    int first = 0;
    for (const ControlSpec& spec : dialog.controls)
        if (isDefault(spec) && first == 0)
            first = spec.id;
    const ControlSpec* focused = nullptr;
    for (const ControlSpec& spec : dialog.controls)
        if (focusedId != 0 && spec.id == focusedId)
            focused = &spec;
    if (!focused)
        return first;
    if (focused->kind == ControlKind::PushButton || isDefault(*focused))
        return focused->id;
    for (const ControlSpec& group : dialog.controls) {
        if (group.kind != ControlKind::GroupBox || !contains(group, *focused))
            continue;
        for (const ControlSpec& spec : dialog.controls)
            if (isDefault(spec) && contains(group, spec))
                return spec.id;
    }
    return first;
}

} // namespace zek
