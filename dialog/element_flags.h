// The flags a window description's FLAGS may name, each with its value,
// named once: the description's flag tables spell these names, and the
// layout and the Win32 controls test the node's flags against them. A value
// is the control's own flag value for its kind; a name that stands for
// several kinds keeps one value. The window's flags are the windowing
// layer's own (runtime/windowing.h: Window_SystemMenu, Window_Invisible, ...),
// the canvas's the canvas control's (runtime/canvas.h: Canvas_Border,
// Canvas_ClipMouse, Canvas_Keyboard, Canvas_DrawFocus, Canvas_Container).
//
// No operating system here (runtime/canvas.h and runtime/windowing.h do not
// include windows.h).
#pragma once
#include <stdint.h>

#include "runtime/canvas.h"

//-----------------------------------------------------------------------------
// Controls that hold others
//-----------------------------------------------------------------------------

const uint32_t Container_BorderLess = 0x0;
const uint32_t Container_Flat = 0x1;
const uint32_t Container_Raised = 0x2;
const uint32_t Container_Single = 0x4;
const uint32_t Container_Double = 0x8;

// Frame_Flat is both other bits.
const uint32_t Frame_Double = 0x1;
const uint32_t Frame_Single = 0x2;
const uint32_t Frame_Flat = 0x3;

const uint32_t ScrollArea_Flat = 0x1;
const uint32_t ScrollArea_Raised = 0x2;
const uint32_t ScrollArea_Single = 0x4;
const uint32_t ScrollArea_BorderLess = 0x8;
const uint32_t ScrollArea_Center = 0x10;

const uint32_t Splitter_Vertical = 0x1;
const uint32_t Splitter_Separator = 0x2;
const uint32_t Splitter_FirstFixed = 0x4;
const uint32_t Splitter_SecondFixed = 0x8;

//-----------------------------------------------------------------------------
// Buttons, texts and fields
//-----------------------------------------------------------------------------

// Button_Toggle includes Button_Default's bit.
const uint32_t Button_Right = 0x200;
const uint32_t Button_Left = 0x100;
const uint32_t Button_Default = 0x1;
const uint32_t Button_MultiLine = 0x2000;
const uint32_t Button_Toggle = 0x1003;

// CheckBox_Center is CheckBox_Right and one bit more.
const uint32_t CheckBox_Right = 0x200;
const uint32_t CheckBox_Center = 0x300;
const uint32_t CheckBox_ThreeState = 0x5;

const uint32_t Text_Center = 0x1;
const uint32_t Text_Right = 0x2;
const uint32_t Text_Border = 0x20000;

const uint32_t HyperLink_Underline = 0x1;

const uint32_t String_Password = 0x20;
const uint32_t String_ReadOnly = 0x800;
const uint32_t String_Numeric = 0x2000;
const uint32_t String_LowerCase = 0x10;
const uint32_t String_UpperCase = 0x8;
const uint32_t String_BorderLess = 0x20000;
const uint32_t String_AutoComplete = 0x10000000;
const uint32_t String_AutoInsert = 0x40000000;

const uint32_t Editor_ReadOnly = 0x800;
const uint32_t Editor_WordWrap = 0x10000000;

const uint32_t Spin_ReadOnly = 0x1;
const uint32_t Spin_Numeric = 0x2;

// ComboBox_Editable is two bits, both needed.
const uint32_t ComboBox_Editable = 0x42;
const uint32_t ComboBox_LowerCase = 0x4000;
const uint32_t ComboBox_UpperCase = 0x2000;
const uint32_t ComboBox_Image = 0x10000000;

const uint32_t Image_Raised = 0x1;
const uint32_t Image_Border = 0x200;

//-----------------------------------------------------------------------------
// Lists and trees
//-----------------------------------------------------------------------------

const uint32_t ListView_MultiSelect = 0x800;
const uint32_t ListView_ClickSelect = 0x8;

const uint32_t ListIcon_CheckBoxes = 0x1;
const uint32_t ListIcon_MultiSelect = 0x4;
const uint32_t ListIcon_GridLines = 0x10000;
const uint32_t ListIcon_FullRowSelect = 0x40000000;
const uint32_t ListIcon_HeaderDragDrop = 0x10000000;
const uint32_t ListIcon_AlwaysShowSelection = 0x8;
const uint32_t ListIcon_ThreeState = 0x40;

const uint32_t Tree_AlwaysShowSelection = 0x20;
const uint32_t Tree_NoLines = 0x2;
const uint32_t Tree_NoButtons = 0x1;
const uint32_t Tree_CheckBoxes = 0x100;
const uint32_t Tree_ThreeState = 0x10000;

// The folder combo, list and tree share these names.
const uint32_t Explorer_NoMyDocuments = 0x200;
const uint32_t Explorer_DrivesOnly = 0x80;
const uint32_t Explorer_Editable = 0x100;
const uint32_t Explorer_NoFiles = 0x1;
const uint32_t Explorer_NoParentFolder = 0x2;
const uint32_t Explorer_NoFolders = 0x4;
const uint32_t Explorer_NoDirectoryChange = 0x8;
const uint32_t Explorer_NoDriveRequester = 0x10;
const uint32_t Explorer_NoSort = 0x20;
const uint32_t Explorer_AutoSort = 0x40;
const uint32_t Explorer_BorderLess = 0x100000;
const uint32_t Explorer_MultiSelect = 0x200000;
const uint32_t Explorer_GridLines = 0x400000;
const uint32_t Explorer_HeaderDragDrop = 0x800000;
const uint32_t Explorer_AlwaysShowSelection = 0x1000000;
const uint32_t Explorer_FullRowSelect = 0x2000000;
const uint32_t Explorer_NoLines = 0x4000000;
const uint32_t Explorer_NoButtons = 0x8000000;

//-----------------------------------------------------------------------------
// Other controls
//-----------------------------------------------------------------------------

const uint32_t Calendar_Borderless = 0x800000;

const uint32_t Date_UpDown = 0x1;
const uint32_t Date_CheckBox = 0x2;

const uint32_t ScrollBar_Vertical = 0x1;

const uint32_t ProgressBar_Smooth = 0x1;
const uint32_t ProgressBar_Vertical = 0x4;

const uint32_t TrackBar_Ticks = 0x1;
const uint32_t TrackBar_Vertical = 0x2;
