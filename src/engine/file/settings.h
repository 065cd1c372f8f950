// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The settings store: settings.xml in the per-user directory, several top-level sections, each key an
// element with attributes. Read once at start-up, saved at exit; a missing value takes its default and is
// written back.

#include <filesystem>
#include <string>

class TiXmlElement;

namespace pentavel {

// Loads the file through the virtual file system; a missing or malformed file gives an empty document
// (a malformed one is first kept as "<name>.bad"). Always true.
bool loadSettings(const char* fileName);
// Writes the document to the write directory; false when never loaded or the write failed (a warning
// names the reason, once per reason and run).
bool saveSettings(const char* fileName);
// Saves the loaded file at once, for a setting the player has just changed (sound switch, window size,
// full screen), so that a crash or a killed process keeps it; the save at exit still follows.
bool saveChangedSettings();
// Forgets the document and the loaded flag (for tests).
void resetSettings();

// The top-level element of that name, created when missing.
TiXmlElement* settingsSection(const char* name);
// The element's first child of that name, created and appended when missing; null only for null element.
TiXmlElement* settingsChild(TiXmlElement* element, const char* name);

// value holds the default on entry and the stored value on return. The forms without an attribute use
// the attribute "value". Always true.
bool getSetting(const char* section, const char* key, const char* attribute, int& value);
bool getSetting(const char* section, const char* key, int& value);
bool getSetting(const char* section, const char* key, const char* attribute, float& value);
bool getSetting(const char* section, const char* key, float& value);
bool getSetting(const char* section, const char* key, const char* attribute, std::string& value);
bool getSetting(const char* section, const char* key, std::string& value);

// True when the section and key exist or could be created.
bool setSetting(const char* section, const char* key, const char* attribute, int value);
bool setSetting(const char* section, const char* key, int value);
bool setSetting(const char* section, const char* key, const char* attribute, float value);
bool setSetting(const char* section, const char* key, float value);
bool setSetting(const char* section, const char* key, const char* attribute, const std::string& value);
bool setSetting(const char* section, const char* key, const std::string& value);

// The stored text of a key's "value" attribute, read without creating anything: false (value unchanged)
// when the file has no such key, so that a setting never chosen is never written.
bool findSetting(const char* section, const char* key, std::string& value);
// Saves take this section as the file on disk holds it at that moment (another program may have changed
// it while this one ran), until this program sets a value in it.
void followSectionInFile(const char* section);

// For a program beside the game: sets one key's "value" attribute in the settings file at path, keeping
// every other setting (a missing file is made). False, with the reason set and the file untouched, when
// the file cannot be read or parsed or the new one cannot be written.
bool rememberSettingInFile(const std::filesystem::path& path, const char* section, const char* key,
                           const std::string& value, std::string& reason);

}  // namespace pentavel
