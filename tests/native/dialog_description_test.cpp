// Window descriptions read into node trees on a recording platform: element
// vocabulary, value syntax, flags, events, option groups and every error.
#include "dialog/description.h"

#include <gtest/gtest.h>

#include "app/main_controls.h"
#include "app/main_description.h"
#include "app/startup_values.h"
#include "dialog/runtime_values.h"
#include "tests/native/recording_platform.h"

class DescriptionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_recording = Recording();
    ClearRuntimeValues();
    dialog_ = NewDialogOn(&kRecordingPlatform, -1);
  }
  void TearDown() override { ReleaseDialog(-1); }

  bool OpenText(const std::string& text, const char* name = "") {
    return OpenDescribedWindowText(dialog_, text.data(), text.size(), name) != 0;
  }
  // A window with no margin around `body`.
  bool Open(const std::string& body) { return OpenText("<window margin='0'>" + body + "</window>"); }
  std::string Error() { return DialogError(dialog_); }
  int Control(const char* name) { return DialogControlByName(dialog_, name); }
  RecordedControl& Named(const char* name) { return g_recording.Control(Control(name)); }
  const LayoutNode& Node(const char* name) {
    const Dialog* d = DialogRecord(dialog_);
    for (const LayoutNode& n : d->nodes)
      if (n.name == name) return n;
    static LayoutNode none;
    ADD_FAILURE() << "no node " << name;
    return none;
  }
  int dialog_ = 0;
};

TEST_F(DescriptionTest, SelectsTheWindowElement) {
  struct Case {
    const char* text;
    const char* name;
    bool opens;
  } cases[] = {
      {"<window/>", "wndMain", false},
      {"<window/>", "", true},
      {"<WINDOW NAME='WndMain'/>", "wndmain", true},
      {"<dialogs><window name='a'/><window name='b' text='B'/></dialogs>", "b", true},
      {"<dialogs><other name='b'/></dialogs>", "b", false},
      {"<vbox name='b'/>", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    g_recording = Recording();
    EXPECT_EQ(OpenText(c.text, c.name), c.opens);
    EXPECT_EQ(Error(), c.opens ? "" : "Dialog window not found");
    EXPECT_EQ(DialogWindowOf(dialog_), c.opens ? 77 : -1);
    EXPECT_EQ(g_recording.windowOpen, c.opens);
  }
}

TEST_F(DescriptionTest, FlagLists) {
  RegisterRuntimeInteger("MyFlag", 0x400);
  std::string longName(129, 'x'), limitName(128, 'y');
  struct Case {
    std::string flags;
    uint32_t value;
    std::string error;
  } cases[] = {
      {" #Canvas_ClipMouse |\t#canvas_border ", 0x3, ""},
      {"#Canvas_ClipMouse|Canvas_Border", 0x2, ""},
      {"#Canvas_Keyboard|#MyFlag", 0x404, ""},
      {"#Text_Center", 0, "'#Text_Center' flag is not supported for the following gadget: canvas"},
      {"#Canvas_Border|#" + longName + "|#Canvas_Keyboard", 0x1, ""},
      {"#" + limitName, 0, "'#" + limitName + "' flag is not supported for the following gadget: canvas"},
      {"", 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flags);
    g_recording = Recording();
    EXPECT_EQ(Open("<canvas name='c' flags='" + c.flags + "'/>"), c.error.empty());
    EXPECT_EQ(Error(), c.error);
    if (c.error.empty()) {
      EXPECT_EQ(Named("c").flags, c.value);
    }
  }
}

TEST_F(DescriptionTest, ResolvedAndPlainValues) {
  RegisterLayoutValues();
  int kept = DPIx1;
  DPIx1 = 123;  // the value at open time counts, not the one at registration
  ASSERT_TRUE(Open("<vbox><vbox name='v' spacing='DPIx4'><string name='s' width='DPIx1' height=' -7px'/></vbox>"
                   "<hbox name='h' spacing='12abc'/></vbox>"));
  DPIx1 = kept;
  EXPECT_EQ(Node("s").ownWidth, 123);
  EXPECT_EQ(Node("s").ownHeight, -7);
  EXPECT_EQ(Node("v").spacing, 0);
  EXPECT_EQ(Node("h").spacing, 12);

  RegisterRuntimeInteger("#Known", 4242);
  RegisterRuntimeInteger("Named", 17);
  ASSERT_TRUE(Open("<vbox><button name='a' id='#any'/><button name='b'/><button name='c' id='#Known'/>"
                   "<button name='d' id='Named'/><button name='e' id='42'/></vbox>"));
  EXPECT_EQ(Named("a").request.number, -1);
  EXPECT_EQ(Named("b").request.number, -1);
  EXPECT_EQ(Named("c").request.number, 4242);
  EXPECT_EQ(Named("d").request.number, 17);
  EXPECT_EQ(Named("e").request.number, 42);
}

TEST_F(DescriptionTest, ErrorsFailTheOpenAndKeepTheFirstMessage) {
  struct Case {
    const char* body;
    const char* error;
  } cases[] = {
      {"<string width=''/>", "<string> 'width' can't have empty value."},
      {"<empty HEIGHT=''/>", "<empty> 'HEIGHT' can't have empty value."},
      {"<button id=''/>", "<button> 'id' can't have empty value."},
      {"<button id='#Nope'/>", "'#Nope' constant is not found or not declared as runtime."},
      {"<button onleftclick='p'/>", "'onleftclick' is not supported for the following gadget: button"},
      {"<button onevent='nothing'/>", "'nothing' is not a runtime procedure."},
      {"<button onevent='zero'/>", "'zero' is not a runtime procedure."},
      // A variable's value or a float is no address: binding one would crash the first event.
      {"<button onevent='aVariable'/>", "'aVariable' is not a runtime procedure."},
      {"<button onevent='aFloat'/>", "'aFloat' is not a runtime procedure."},
      {"<gridbox><text rowspan='70'/></gridbox>", "A gridbox can only have a maximum of 65 rows (70 was specified)."},
      {"<vbox><tab/></vbox>", "<tab> node requiers a parent <panel> node."},
      {"<panel><button/></panel>", "<panel> node can only hold <tab> nodes, not <button>."},
      {"<gridbox columns='0'><text/></gridbox>", "A gridbox can only have 1 to 256 columns (0 was specified)."},
      {"<gridbox columns='100000'><text/></gridbox>",
       "A gridbox can only have 1 to 256 columns (100000 was specified)."},
      {"<splitter><text/><text/><text/></splitter>", "A splitter can only hold two children."},
      {"<button id='#Nope' flags='#Bad'/><text id=''/>", "'#Nope' constant is not found or not declared as runtime."},
  };
  RegisterRuntimeInteger("zero", 0);
  static int variable = 96;
  RegisterRuntimeVariable("aVariable", &variable, RUNTIME_INT32);
  RegisterRuntimeFloat("aFloat", 12345.0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    g_recording = Recording();
    EXPECT_FALSE(Open(std::string("<vbox>") + c.body + "<button name='after'/></vbox>"));
    EXPECT_EQ(Error(), c.error);
    EXPECT_FALSE(g_recording.windowOpen);
    EXPECT_EQ(DialogWindowOf(dialog_), -1);
    EXPECT_EQ(Control("after"), -1);
    EXPECT_TRUE(g_recording.openLists.empty());
  }
  // The next open starts without the old error.
  EXPECT_TRUE(Open("<vbox/>"));
  EXPECT_EQ(Error(), "");
}

// Only a grid that receives a child needs a column count it can number cells
// by; a childless one is accepted whatever its count and measures as its own
// minimum.
TEST_F(DescriptionTest, ChildlessGridsTakeAnyColumnCount) {
  for (const char* columns : {"0", "-3", "100000"}) {
    SCOPED_TRACE(columns);
    g_recording = Recording();
    EXPECT_TRUE(Open(std::string("<vbox><gridbox columns='") + columns + "' width='30' height='20'/></vbox>"))
        << Error();
    EXPECT_EQ(Error(), "");
    EXPECT_EQ(g_recording.windowW, 30);
    EXPECT_EQ(g_recording.windowH, 20);
  }
}

TEST_F(DescriptionTest, BadTextAndDeepNesting) {
  EXPECT_FALSE(OpenText("<window><vbox></window>"));
  EXPECT_EQ(Error(), "The window description is not well-formed XML (line 1: mismatched tag).");
  EXPECT_FALSE(OpenText(""));
  EXPECT_EQ(Error(), "The window description is not well-formed XML (line 1: no element found).");

  std::string deep;
  for (int i = 0; i < kDialogMaxNesting; i++) deep = "<vbox>" + deep + "</vbox>";
  EXPECT_TRUE(Open(deep));
  EXPECT_FALSE(Open("<container>" + deep + "</container>"));
  EXPECT_EQ(Error(), "The window description is nested too deeply (more than 64 levels).");
  EXPECT_TRUE(g_recording.openLists.empty());
}

TEST_F(DescriptionTest, UnknownElementsAreSkippedWithTheirChildren) {
  ASSERT_TRUE(Open("<vbox><unknown><button name='inside'/></unknown><window><button name='nested'/></window>"
                   "<button name='after'/></vbox>"));
  EXPECT_EQ(Control("inside"), -1);
  EXPECT_EQ(Control("nested"), -1);
  EXPECT_GT(Control("after"), 0);
  EXPECT_EQ(g_recording.controls.size(), 1u);
}

TEST_F(DescriptionTest, OptionGroupsAreCreatedAfterTheirSiblings) {
  ASSERT_TRUE(Open("<vbox><option name='g1a' group='1'/><option name='g2' group='2' disabled='yes'/>"
                   "<option name='g1b' group='1' text='B'/><option name='plain'/></vbox>"));
  // Creation order: the plain option, then group 1, then group 2, each group closed off.
  EXPECT_EQ(Control("plain"), 1);
  EXPECT_EQ(Control("g1a"), 2);
  EXPECT_EQ(Control("g1b"), 3);
  EXPECT_EQ(Control("g2"), 4);
  EXPECT_EQ(Named("g1a").radioGroup, Named("g1b").radioGroup);
  EXPECT_NE(Named("g1a").radioGroup, Named("plain").radioGroup);
  EXPECT_NE(Named("g2").radioGroup, Named("g1a").radioGroup);
  EXPECT_EQ(Named("g1b").text, "B");
  EXPECT_TRUE(Named("g2").disabled);
  // The deferred options are laid out like any child.
  EXPECT_EQ(Named("g2").resizes, Named("plain").resizes);
}

static void SomeProcedure(const WindowEvent&) {}

TEST_F(DescriptionTest, EventAttributesBindProcedures) {
  RegisterRuntimeProcedure("onSome", SomeProcedure);
  ASSERT_TRUE(Open("<vbox><listicon name='l' onchange='ONSOME' onleftclick='onSome'/>"
                   "<container name='c' onchange='anything'/><option group='1' onevent='missing'/></vbox>"));
  std::vector<std::pair<int, intptr_t>> expected = {{768, (intptr_t)SomeProcedure}, {0, (intptr_t)SomeProcedure}};
  EXPECT_EQ(Named("l").events, expected);
  EXPECT_TRUE(Named("c").events.empty());
}

TEST_F(DescriptionTest, ControlsAndTheirChildLists) {
  ASSERT_TRUE(Open("<vbox><container name='box'><frame name='fr' text='Caption'><string name='in' text='x'/></frame>"
                   "</container><scrollarea name='area'><text name='t'/></scrollarea>"
                   "<panel name='p'><tab name='t1' text='One'><button name='b1'/></tab></panel>"
                   "<splitter name='sp'><text name='first'/><text name='second'/></splitter>"
                   "<canvas name='plain'><button text='notInside'/></canvas>"
                   "<button name='hidden' invisible='YES' disabled='no'/></vbox>"));
  EXPECT_EQ(Named("fr").list, Control("box"));
  EXPECT_EQ(Named("in").list, Control("box"));  // a frame's child belongs to the frame's parent
  EXPECT_EQ(Named("fr").text, "Caption");
  EXPECT_EQ(Named("t").list, Control("area"));
  EXPECT_EQ(Named("b1").list, Control("t1"));
  EXPECT_EQ(g_recording.Control(Control("t1")).text, "One");
  const LayoutNode& splitter = Node("sp");
  EXPECT_EQ(Named("first").list, splitter.panes[0]);
  EXPECT_EQ(Named("second").list, splitter.panes[1]);
  // A plain canvas holds no children: they are created beside it and never placed.
  const RecordedControl& notInside = g_recording.controls.at((size_t)Control("plain"));
  EXPECT_EQ(notInside.text, "notInside");
  EXPECT_EQ(notInside.list, 0);
  EXPECT_EQ(notInside.resizes, 0);
  EXPECT_TRUE(Named("hidden").hidden);
  EXPECT_FALSE(Named("hidden").disabled);
  EXPECT_TRUE(g_recording.openLists.empty());
}

TEST_F(DescriptionTest, ControlByNameSearchesDepthFirst) {
  ASSERT_TRUE(Open("<vbox name='v'><hbox><button name='deep'/></hbox><button name='Deep'/>"
                   "<singlebox name='s'><text name='one'/><text name='two'/></singlebox>"
                   "<empty name='later'/><button name='later'/></vbox>"));
  EXPECT_EQ(Control("v"), -1);
  EXPECT_EQ(Control("DEEP"), 1);
  EXPECT_EQ(Control("two"), 4);
  EXPECT_EQ(Control("one"), -1);  // replaced as the singlebox's child: created but not in the tree
  EXPECT_EQ(g_recording.Control(3).resizes, 0);
  EXPECT_EQ(Control("later"), -1);  // the first match has no control of its own
  EXPECT_EQ(Control("missing"), -1);
  EXPECT_EQ(DialogControlByName(999, "v"), -1);
  EXPECT_EQ(DialogWindowOf(999), -1);
}

TEST_F(DescriptionTest, ControlAttributes) {
  ASSERT_TRUE(Open("<vbox><spin name='sp' min='5' max='9' text='t'/><trackbar name='tb'/>"
                   "<scrollbar name='sb' page='3' value='7'/><hyperlink name='h'/>"
                   "<scrollarea name='sa' innerwidth='300' step='4' scrolling='Vertical'/>"
                   "<splitter name='sp2' firstmin='request' secondmin='33'/></vbox>"));
  EXPECT_EQ(Named("sp").request.minimum, 5);
  EXPECT_EQ(Named("sp").request.maximum, 9);
  EXPECT_EQ(Named("sp").request.value, 5);
  EXPECT_EQ(Named("tb").request.maximum, 10);
  EXPECT_EQ(Named("sb").request.maximum, 100);
  EXPECT_EQ(Named("sb").request.page, 3);
  EXPECT_EQ(Named("sb").request.value, 7);
  EXPECT_EQ(Named("h").request.color, 0xFF0000);
  EXPECT_EQ(Named("sa").request.innerWidth, 300);
  EXPECT_EQ(Named("sa").request.step, 4);
  EXPECT_EQ(Named("sa").request.scrolling, SCROLL_VERTICAL);
  EXPECT_EQ(Node("sp2").paneMinimum[0], kAutoLength);
  EXPECT_EQ(Node("sp2").paneMinimum[1], 33);
}

TEST_F(DescriptionTest, LayoutAttributes) {
  ASSERT_TRUE(Open("<vbox><singlebox name='a' margin='vertical:4' align='bottom center' expand='vertical'/>"
                   "<singlebox name='b' margin='7' align='RIGHT' expand='no'/>"
                   "<singlebox name='c' margin='top:1,left:2;horizontal:3'/>"
                   "<hbox name='h' expand='ITEM:3' align='right'/><vbox name='v' expand='yes' align='center'/>"
                   "<gridbox name='g' columns='4' colexpand='equal' rowexpand='yes'/></vbox>"));
  const LayoutNode& a = Node("a");
  EXPECT_EQ((std::vector<int>{a.marginTop, a.marginBottom, a.marginLeft, a.marginRight}), (std::vector<int>{4, 4, 0, 0}));
  EXPECT_EQ(a.alignVertical, ALIGN_END);
  EXPECT_EQ(a.alignHorizontal, ALIGN_CENTER);
  EXPECT_TRUE(a.expandVertical);
  EXPECT_FALSE(a.expandHorizontal);
  const LayoutNode& b = Node("b");
  EXPECT_EQ((std::vector<int>{b.marginTop, b.marginBottom, b.marginLeft, b.marginRight}), (std::vector<int>{7, 7, 7, 7}));
  EXPECT_EQ(b.alignVertical, ALIGN_START);
  EXPECT_EQ(b.alignHorizontal, ALIGN_END);
  EXPECT_FALSE(b.expandVertical || b.expandHorizontal);
  const LayoutNode& c = Node("c");
  EXPECT_EQ((std::vector<int>{c.marginTop, c.marginBottom, c.marginLeft, c.marginRight}), (std::vector<int>{1, 0, 3, 3}));
  EXPECT_EQ(Node("h").expand, EXPAND_ITEM);
  EXPECT_EQ(Node("h").expandItem, 2);
  EXPECT_EQ(Node("h").align, ALIGN_END);
  EXPECT_EQ(Node("v").expand, EXPAND_YES);
  EXPECT_EQ(Node("v").align, ALIGN_CENTER);
  EXPECT_EQ(Node("g").columns, 4);
  EXPECT_EQ(Node("g").colExpand, EXPAND_EQUAL);
  EXPECT_EQ(Node("g").rowExpand, EXPAND_YES);
}

// Only a control whose TEXT is its own text gets it back; for the others it
// was a column title, a format, a path or an address.
TEST_F(DescriptionTest, RefreshingTextsRestoresCaptionsOnly) {
  ASSERT_TRUE(Open("<vbox><button name='button' text='T'/><checkbox name='checkbox' text='T'/>"
                   "<option name='option' text='T'/><text name='text' text='T'/><string name='string' text='T'/>"
                   "<editor name='editor' text='T'/><hyperlink name='hyperlink' text='T'/>"
                   "<frame name='frame' text='T'/><spin name='spin' text='T'/>"
                   "<listicon name='listicon' text='T'/><date name='date' text='T'/>"
                   "<explorercombo name='explorercombo' text='T'/><web name='web' text='T'/>"
                   "<canvas name='canvas' text='T'/><panel><tab name='tab' text='T'/></panel></vbox>"));
  const char* captions[] = {"button", "checkbox", "option", "text", "string", "editor", "hyperlink", "frame", "spin"};
  const char* others[] = {"listicon", "date", "explorercombo", "web", "canvas", "tab"};
  for (RecordedControl& c : g_recording.controls) c.text = "changed";
  RefreshDialogTexts(dialog_);
  for (const char* name : captions) EXPECT_EQ(Named(name).text, "T") << name;
  for (const char* name : others) EXPECT_EQ(Named(name).text, "changed") << name;
}

// Hiding walks the tree a search walks: every child of boxes, grids and
// panels, the one child of a single-child node, none of a plain control.
TEST_F(DescriptionTest, HidingATreeReachesEveryControlBelowIt) {
  ASSERT_TRUE(Open("<vbox><container name='top'><vbox><gridbox columns='2'><button name='g1'/><button name='g2'/>"
                   "</gridbox><singlebox><button name='replaced'/><button name='kept'/></singlebox>"
                   "<button name='folded' folded='yes'/><canvas name='plain'><button name='beside'/></canvas>"
                   "</vbox></container><button name='outside'/></vbox>"));
  SetDialogHiddenTree(dialog_, "top", true);
  for (const char* name : {"top", "g1", "g2", "kept", "folded", "plain"}) EXPECT_TRUE(Named(name).hidden) << name;
  const RecordedControl& replaced = g_recording.Control(Control("g2") + 1);
  const RecordedControl& beside = g_recording.Control(Control("plain") + 1);
  EXPECT_FALSE(replaced.hidden);
  EXPECT_FALSE(beside.hidden);
  EXPECT_FALSE(Named("outside").hidden);
  SetDialogHiddenTree(dialog_, "top", false);
  for (const char* name : {"top", "g1", "g2", "kept", "plain"}) EXPECT_FALSE(Named(name).hidden) << name;
  EXPECT_TRUE(Named("folded").hidden);  // showing leaves folded nodes hidden
}

TEST_F(DescriptionTest, FailedControlsAreStillLaidOut) {
  g_recording.failingKinds = {NODE_SCINTILLA};
  ASSERT_TRUE(Open("<vbox spacing='0'><scintilla name='s' height='30'/><button name='b' height='20'/></vbox>"));
  EXPECT_EQ(Control("s"), -1);
  EXPECT_EQ(Named("b").y, 30);
}

TEST_F(DescriptionTest, ResizePlacesWithoutMeasuring) {
  g_recording.requiredByKind[NODE_BUTTON] = {50, 20};
  ASSERT_TRUE(Open("<vbox><button name='b'/><listicon name='l'/></vbox>"));
  EXPECT_EQ(Named("b").w, 50);
  g_recording.requiredByKind[NODE_BUTTON] = {500, 200};  // a measure now would see this
  g_recording.windowW = 300, g_recording.windowH = 100;
  DialogWindowResized(77);
  EXPECT_EQ(Named("b").w, 300);
  EXPECT_EQ(Named("b").h, 57);
  EXPECT_EQ(Named("l").y, 62);
  RefitDialog(dialog_);  // a refit measures again and grows the window
  EXPECT_EQ(g_recording.windowW, 500);
  EXPECT_EQ(g_recording.windowH, 205);
}

// A control given a font before the open is created with it, also when it
// waits for its option group, and the first layout already measures it so:
// the window fits without a refit.
TEST_F(DescriptionTest, ControlsGivenAFontAreCreatedAndMeasuredWithIt) {
  g_recording.requiredByKind[NODE_BUTTON] = {50, 20};
  g_recording.requiredByKind[NODE_OPTION] = {30, 10};
  SetDialogControlFont(dialog_, "Large", 7);  // names compare without case
  SetDialogControlFont(dialog_, "choice", 7);
  SetDialogControlFont(dialog_, "plain", 9);
  SetDialogControlFont(dialog_, "plain", 0);  // taken back
  ASSERT_TRUE(Open("<vbox spacing='0'><button name='large'/><button name='plain'/>"
                   "<option name='choice' group='1'/></vbox>"));
  EXPECT_EQ(Named("large").request.font, 7);
  EXPECT_EQ(Named("plain").request.font, 0);
  EXPECT_EQ(Named("choice").request.font, 7);
  EXPECT_EQ(Named("large").h, 40);
  EXPECT_EQ(Named("plain").y, 40);
  EXPECT_EQ(g_recording.windowW, 100);
  EXPECT_EQ(g_recording.windowH, 40 + 20 + 20);
  ASSERT_TRUE(Open("<button name='large'/>"));  // kept for the next open
  EXPECT_EQ(Named("large").request.font, 7);
}

// After a change of scale every measure from the system changes (here the
// button's): the window is laid out again as the first layout did, growing
// or shrinking, so that going back to the first measures gives back the
// first layout exactly, where a refit would have kept the larger window.
TEST_F(DescriptionTest, ALayoutAgainFitsTheWindowToItsContentBothWays) {
  g_recording.requiredByKind[NODE_BUTTON] = {50, 20};
  ASSERT_TRUE(Open("<vbox><button name='b'/><listicon name='l'/></vbox>"));
  int w = g_recording.windowW, h = g_recording.windowH, centered = g_recording.centered;
  RecordedControl button = Named("b"), list = Named("l");
  g_recording.requiredByKind[NODE_BUTTON] = {80, 30};
  RelayoutDialog(dialog_);
  EXPECT_EQ(g_recording.windowW, w + 30);
  EXPECT_EQ(g_recording.windowH, h + 10);
  EXPECT_EQ(Named("b").w, 80);
  EXPECT_EQ(Named("l").y, list.y + 10);
  g_recording.requiredByKind[NODE_BUTTON] = {50, 20};
  RelayoutDialog(dialog_);
  EXPECT_EQ(g_recording.windowW, w);
  EXPECT_EQ(g_recording.windowH, h);
  for (const auto& c : {std::make_pair(button, Named("b")), std::make_pair(list, Named("l"))}) {
    EXPECT_EQ(c.second.x, c.first.x);
    EXPECT_EQ(c.second.y, c.first.y);
    EXPECT_EQ(c.second.w, c.first.w);
    EXPECT_EQ(c.second.h, c.first.h);
  }
  EXPECT_EQ(g_recording.centered, centered);  // placing the window stays the first layout's
}

TEST_F(DescriptionTest, TheMainWindowDescription) {
  std::string text(kMainWindowDescription, kMainWindowDescriptionLength);
  EXPECT_EQ(text.substr(0, 33), "<dialogs>\t<window name='wndMain' ");
  EXPECT_EQ(text.find('\n'), std::string::npos);
  EXPECT_EQ(text.find('"'), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 20), "\t</window></dialogs>");

  RegisterLayoutValues();
  ASSERT_TRUE(OpenText(text, "wndMain")) << Error();
  // Every control of the program's control table is in the description, under its name.
  for (int i = 0; i < kMainControlCount; i++) EXPECT_GT(Control(kMainControls[i].name), 0) << kMainControls[i].name;
  EXPECT_EQ(Control("wndMain"), -1);
  // In logical units, which the windowing layer scales: the same at every display scale.
  EXPECT_EQ(Node("imgPaletteCapture").ownWidth, 156);
  EXPECT_EQ(Node("imgPaletteR").ownHeight, 8);
  EXPECT_EQ(Node("vboxRGB").spacing, 0);
  EXPECT_EQ(Named("imgPaletteCapture").flags, 0x7u);
  EXPECT_EQ(Named("txtR").flags, 0x22000u);
  EXPECT_EQ(Named("lstResults").flags, 0x40000000u);
  EXPECT_EQ(Named("cmdOptions").text, "Tintvane.ini");
  EXPECT_EQ(Node("wndMain").flags, 0x10CA0000u);
  EXPECT_FALSE(g_recording.windowShown);
}
