#pragma once

#include "ui/dialog_units.h"

#include <span>

// The kinds of controls our dialog templates use.
enum class CtlKind
{
    Static,         // plain text label
    GroupBox,
    PushButton,
    DefPushButton,  // the dialog's default button
    CheckBox,
    RadioButton,
    Edit,
    ComboDropList,  // combo box without edit field
    ComboHistory,   // CComboBox2: edit field plus history list
    Link,           // link control, text given without the <a> markup
    Icon,           // the application icon
    Custom,         // made by the dialog itself (the album grid)
};

inline constexpr int kIdStatic = -1;

struct CtlTemplate
{
    int id = kIdStatic;
    CtlKind kind = CtlKind::Static;
    DlgRect rect;
    const char *text = "";  // UTF-8
    bool hidden = false;
    bool disabled = false;
};

struct DlgTemplate
{
    int resourceId = 0;
    const char *caption = "";  // UTF-8
    int cx = 0;                // client size in dialog units
    int cy = 0;
    std::span<const CtlTemplate> controls;

    const CtlTemplate *Find(int id) const;
};

// The dialogs of the program.
const DlgTemplate &MainDialogTemplate();      // 102
const DlgTemplate &AboutDialogTemplate();     // 100
const DlgTemplate &SaveSetDialogTemplate();   // 130
const DlgTemplate &DownSetDialogTemplate();   // 131
const DlgTemplate &WebOpenDialogTemplate();   // 133
const DlgTemplate &FindDialogTemplate();      // 704
