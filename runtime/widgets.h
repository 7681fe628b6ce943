// Widgets of the runtime's own beside the system's controls: the container,
// the frame that fills its inside, the tabbed panel, the splitter, the scroll
// area, the spin field and the hyperlink. Each is created inside a parent
// child window (its HWND) and entered as a control of the top-level window
// that holds it, under `number` (kAutoNumber for a fresh one), with the
// default control font; creation returns the control number, or 0. Sizes
// are logical units unless they say otherwise. Windows only (the header
// does not include windows.h).
#pragma once
#include <string>

#include "runtime/windowing.h"

//-----------------------------------------------------------------------------
// Controls in general
//-----------------------------------------------------------------------------

// Enters a created child window as control `number` of the top-level window
// that holds it, of ControlKind `kind`, and gives it the default control
// font. Returns the number; on failure the child window is destroyed and 0
// returned.
int EnterChildControl(void* hwnd, int number, int kind);

// The widgets' window classes and the common controls they use; true when
// all are there. Creation asks for them itself; calling it again costs nothing.
bool RegisterWidgetClasses();

// The text of a child window, and its extent in the window's font as the
// system draws it, in device pixels. An empty text measures as one line of
// the font without width; with `prefix` an ampersand marks the next
// character, as in captions.
std::wstring ChildWindowText(void* hwnd);
void MeasureChildText(void* hwnd, const std::wstring& text, bool prefix, int* w, int* h);

//-----------------------------------------------------------------------------
// Containers and frames
//-----------------------------------------------------------------------------

// The edge a container or scroll area draws around its inside.
enum WidgetBorder {
  BORDER_NONE,
  BORDER_LINE,         // a plain line
  BORDER_THIN_SUNKEN,  // a thin sunken edge
  BORDER_RAISED,       // a raised dialog frame
  BORDER_SUNKEN,       // the sunken client edge of fields and lists
};

// A container: a plain child window for other controls, whose notifications
// become events of its top-level window wherever it is nested.
int CreateContainerIn(int number, void* parent, int border);

// The line a frame draws; only the captioned frame shows its caption.
enum FrameLine { FRAME_CAPTIONED, FRAME_ETCHED, FRAME_GRAY, FRAME_BLACK };

// A frame around other controls (which belong to the frame's parent); it
// fills its inside, under the controls it surrounds. `caption` is UTF-8.
int CreateFrameIn(int number, void* parent, const char* caption, int line);

//-----------------------------------------------------------------------------
// Panel: tabs over pages, one page shown at a time
//-----------------------------------------------------------------------------

int CreatePanelIn(int number, void* parent);
// Adds a page titled `title` (UTF-8) at the end; returns the page's
// container control, or 0. The first page is shown until the user picks another.
int AddPanelPage(int panel, const char* title);
// The height of the tabs and the size of a page, as the panel stands now.
int PanelTabHeight(int panel);
void PanelPageSize(int panel, int* w, int* h);

//-----------------------------------------------------------------------------
// Splitter: two pane containers with a separator the user drags
//-----------------------------------------------------------------------------

struct SplitterSettings {
  bool sideBySide = false;    // panes left and right, else top and bottom
  bool separatorBar = false;  // a raised bar 7 wide between the panes, else a gap of 4
  bool secondFixed = false;   // on resizing, the second pane keeps its length, else the first
  int minimum[2] = {0, 0};    // the least length of each pane
  // Runs whenever a pane changes size, with the pane's control and its new
  // inner size; may be null.
  void (*paneResized)(int pane, int w, int h) = nullptr;
};

// The splitter opens split in half once it has a size. Its panes are
// entered as controls right after it.
int CreateSplitterIn(int number, void* parent, const SplitterSettings& settings);
// The control of pane 0 or 1, or 0.
int SplitterPane(int splitter, int pane);
void SetSplitterMinimum(int splitter, int pane, int minimum);
void SplitterPaneSize(int splitter, int pane, int* w, int* h);

//-----------------------------------------------------------------------------
// Scroll area: an inside larger than the area, moved by scroll bars
//-----------------------------------------------------------------------------

struct ScrollAreaSettings {
  int border = BORDER_SUNKEN;
  bool horizontalBar = true, verticalBar = true;
  int innerWidth = 0, innerHeight = 0;
  int step = 10;        // one arrow click scrolls this far; at least 1
  bool center = false;  // an inside smaller than the area sits in its middle
};

int CreateScrollAreaIn(int number, void* parent, const ScrollAreaSettings& settings);
// The inside's window (an HWND), where the area's controls go; null when
// `control` is no scroll area.
void* ScrollAreaInside(int control);
// kIgnore keeps a length as it is.
void SetScrollAreaInnerSize(int control, int w, int h);

//-----------------------------------------------------------------------------
// Spin field and hyperlink
//-----------------------------------------------------------------------------

struct SpinSettings {
  bool readOnly = false;
  bool numeric = false;  // digits only, and the arrows write the number
  int minimum = 0, maximum = 100, value = 0;
};

// A text field with up and down arrows; `text` (UTF-8) replaces the field's
// text when it is not empty. Its text is the field's text.
int CreateSpinIn(int number, void* parent, const SpinSettings& settings, const char* text);

// Text (UTF-8) in `color` (a colour value), underlined always or only under
// the pointer; a click is a LeftClicked event.
int CreateHyperlinkIn(int number, void* parent, const char* text, int color, bool underline);
