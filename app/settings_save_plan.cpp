#include "app/settings_save_plan.h"

SettingsSavePlan PlanSettingsSave(SettingsFileState found, SettingsSaveMoment moment) {
  SettingsSavePlan plan;
  plan.save = found != SETTINGS_FILE_UNREADABLE;
  plan.rules.replaceExisting = found == SETTINGS_FILE_READ;
  plan.rules.waitMs = moment == SAVE_AT_SESSION_END ? kSessionEndSaveWaitMs : kSettingsHolderWaitMs;
  plan.askOnFailure = moment == SAVE_AT_CLOSE;
  return plan;
}

SettingsFileState SettingsFileAfterSave(SettingsFileState found, SettingsSaveOutcome outcome) {
  return outcome == SETTINGS_SAVED ? SETTINGS_FILE_READ : found;
}
