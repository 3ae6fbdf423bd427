// The settings fixture: the two records that
// settings/testdata/settings_written_by_windows.ini holds, as the Windows
// build's profile functions wrote them (scripts/regenerate-settings-fixture
// makes the file again). settings/settings_fixture_test.cpp loads it and
// writes it afresh in every build.
#pragma once

#include "settings/output_style.h"

namespace prismet::testing {

// The mode under which the second record is saved.
inline constexpr char kFixtureMode[] = "web";

// The plain settings, saved without a mode.
Settings fixture_plain_settings();

// The second record, saved under kFixtureMode.
Settings fixture_mode_settings();

// Saves the plain record, then the mode's, to `file` (which should not exist
// yet: a save keeps whatever else a file holds).
void save_settings_fixture(const char* file);

}  // namespace prismet::testing
