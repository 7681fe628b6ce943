#include "app/settings_save_plan.h"

#include <gtest/gtest.h>

TEST(PlanSettingsSave, ByHowTheFileWasFoundAndWhetherSomeoneCanAnswer) {
  const struct {
    SettingsFileState found;
    SettingsSaveMoment moment;
    bool save, replace;
    uint32_t waitMs;
    bool ask;
  } cases[] = {
      // Read, usable or not: replaced; damaged files are replaced as before.
      {SETTINGS_FILE_READ, SAVE_AT_CLOSE, true, true, kSettingsHolderWaitMs, true},
      {SETTINGS_FILE_READ, SAVE_AT_SESSION_END, true, true, kSessionEndSaveWaitMs, false},
      // None at start: saved, but one that appeared since is left.
      {SETTINGS_FILE_MISSING, SAVE_AT_CLOSE, true, false, kSettingsHolderWaitMs, true},
      {SETTINGS_FILE_MISSING, SAVE_AT_SESSION_END, true, false, kSessionEndSaveWaitMs, false},
      // There but unreadable: the user's settings, never seen by this run.
      {SETTINGS_FILE_UNREADABLE, SAVE_AT_CLOSE, false, false, 0, false},
      {SETTINGS_FILE_UNREADABLE, SAVE_AT_SESSION_END, false, false, 0, false},
  };
  for (const auto& k : cases) {
    SettingsSavePlan plan = PlanSettingsSave(k.found, k.moment);
    EXPECT_EQ(plan.save, k.save) << k.found << " " << k.moment;
    if (!plan.save) continue;
    EXPECT_EQ(plan.rules.replaceExisting, k.replace) << k.found << " " << k.moment;
    EXPECT_EQ(plan.rules.waitMs, k.waitMs) << k.found << " " << k.moment;
    EXPECT_EQ(plan.askOnFailure, k.ask) << k.found << " " << k.moment;
  }
  // The session's end leaves time to spare of the 5 seconds Windows gives it.
  EXPECT_LE(kSessionEndSaveWaitMs, 3500u);
}

// A save that landed makes the file this run's own: the close after a save
// at the session's end replaces it, though the start found none.
TEST(SettingsFileAfterSave, OnlyALandedSaveMakesTheFileReplaceable) {
  const struct {
    SettingsFileState found;
    SettingsSaveOutcome outcome;
    SettingsFileState after;
  } cases[] = {
      {SETTINGS_FILE_MISSING, SETTINGS_SAVED, SETTINGS_FILE_READ},
      {SETTINGS_FILE_MISSING, SETTINGS_SAVE_LEFT, SETTINGS_FILE_MISSING},
      {SETTINGS_FILE_MISSING, SETTINGS_SAVE_FAILED, SETTINGS_FILE_MISSING},
      {SETTINGS_FILE_READ, SETTINGS_SAVED, SETTINGS_FILE_READ},
      {SETTINGS_FILE_READ, SETTINGS_SAVE_FAILED, SETTINGS_FILE_READ},
  };
  for (const auto& k : cases) {
    EXPECT_EQ(SettingsFileAfterSave(k.found, k.outcome), k.after) << k.found << " " << k.outcome;
    SettingsSavePlan next = PlanSettingsSave(SettingsFileAfterSave(k.found, k.outcome), SAVE_AT_CLOSE);
    EXPECT_EQ(next.rules.replaceExisting, k.after == SETTINGS_FILE_READ);
  }
}
