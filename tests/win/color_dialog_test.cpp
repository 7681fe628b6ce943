// The system colour dialog, answered the way a user would: by its controls.
#include <windows.h>

#include <gtest/gtest.h>

#include "runtime/color_dialog.h"
#include "tests/win/dialog_answer.h"

static bool RunDialog(int action, const wchar_t* redText, int initial, int* chosen) {
  AnswerNextColorDialog(action, redText);
  return ChooseSystemColor(0, initial, chosen);
}

TEST(ColorDialog, ConfirmGivesTheColorAndCancelChangesNothing) {
  int chosen = -1;
  ASSERT_TRUE(RunDialog(IDOK, nullptr, 0x3C2B1A, &chosen));
  EXPECT_EQ(chosen, 0x3C2B1A);

  chosen = -1;
  EXPECT_FALSE(RunDialog(IDCANCEL, nullptr, 0x3C2B1A, &chosen));
  EXPECT_EQ(chosen, -1);

  ASSERT_TRUE(RunDialog(IDOK, L"200", 0x3C2B1A, &chosen));
  EXPECT_EQ(chosen, 0x3C2BC8);
}
