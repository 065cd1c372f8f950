// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/file/settings.h"

#include <physfs.h>
#include <tinyxml.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "engine/file/file_system.h"
#include "engine/file/internal/xml_printer.h"
#include "engine/file/log.h"
#include "engine/file/replace_file.h"
#include "engine/file/utf8.h"
#include "engine/file/xml_document.h"

namespace pentavel {
namespace {

const char* const kValueAttribute = "value";
const std::string kByteOrderMark = "\xEF\xBB\xBF";

// Built at static initialisation, so it outlives the exit handler that saves it.
TiXmlDocument document;

TiXmlDocument& settingsDocument() {
    return document;
}

bool settingsLoaded = false;
// The name given to loadSettings, where the changes are saved.
std::string loadedFileName;
// Set when a file that could not be parsed could not be kept aside either: it is then never overwritten.
bool keepFileUntouched = false;
// Why saves have failed in this run: the settings are saved at every change and at exit, and each reason
// is reported once.
std::set<std::string> reportedSaveFailures;
// Sections whose content the file on disk decides at each save.
std::set<std::string> followedSections;

// The file is saved as UTF-8 whatever its declaration said, so the declaration is made to say so.
void useStandardDeclaration(TiXmlDocument& document) {
    TiXmlNode* node = document.FirstChild();
    while (node != nullptr) {
        TiXmlNode* next = node->NextSibling();
        if (node->ToDeclaration() != nullptr)
            document.RemoveChild(node);
        node = next;
    }
    const TiXmlDeclaration declaration("1.0", "utf-8", "");
    if (document.FirstChild() != nullptr) {
        document.InsertBeforeChild(document.FirstChild(), declaration);
    } else {
        document.InsertEndChild(declaration);
    }
}

void startEmptyDocument() {
    TiXmlDocument& document = settingsDocument();
    document.Clear();
    document.ClearError();
    useStandardDeclaration(document);
}

// A file counts as read only when it is UTF-8, parsed to its end, and what the game saves from it reads
// back the same. (Bytes that are no UTF-8 make the parser swallow the characters after them.)
bool loadCleanly(const char* fileName) {
    TiXmlDocument& document = settingsDocument();
    std::string text;
    const bool read = file::readXmlFile(fileName, text);
    // Parsed even when unread, so that the document forgets the byte-order mark of an earlier file.
    const bool parsed = file::parseXmlDocument(document, text);
    const std::size_t mark =
        text.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0 ? kByteOrderMark.size() : 0;
    if (!read || !parsed || !file::isValidUtf8(text.substr(mark)))
        return false;
    useStandardDeclaration(document);
    return file::readsBackUnchanged(document);
}

TiXmlElement* keyElement(const char* section, const char* key) {
    return settingsChild(settingsSection(section), key);
}

std::string floatText(float value) {
    char text[64];
    std::snprintf(text, sizeof text, "%f", static_cast<double>(value));
    return text;
}

// Takes each followed section from the file as it is now; a file that cannot be read leaves them as they are.
void adoptFollowedSections(const char* fileName) {
    if (followedSections.empty() || !file::isInWriteDirectory(fileName))
        return;
    std::string text;
    TiXmlDocument onDisk;
    if (!file::readXmlFile(fileName, text) || !file::parseXmlDocument(onDisk, text))
        return;
    TiXmlDocument& document = settingsDocument();
    for (const std::string& name : followedSections) {
        const TiXmlElement* wanted = onDisk.FirstChildElement(name.c_str());
        TiXmlElement* held = document.FirstChildElement(name.c_str());
        if (held != nullptr && wanted != nullptr)
            document.ReplaceChild(held, *wanted);
        else if (held != nullptr)
            document.RemoveChild(held);
        else if (wanted != nullptr)
            document.InsertEndChild(*wanted);
    }
}

void stopFollowing(const char* section) {
    followedSections.erase(section);
}

}  // namespace

bool loadSettings(const char* fileName) {
    logMessage("Loading settings from file: %s", fileName);
    loadedFileName = fileName;
    keepFileUntouched = false;
    if (!loadCleanly(fileName)) {
        if (PHYSFS_exists(fileName) && !file::keepBadCopy(fileName))
            keepFileUntouched = true;
        logMessage("...%s does not exist, using default settings", fileName);
        startEmptyDocument();
    }
    settingsLoaded = true;
    return true;
}

bool saveSettings(const char* fileName) {
    if (!settingsLoaded || keepFileUntouched)
        return false;
    logMessage("Saving settings to file: %s", fileName);
    adoptFollowedSections(fileName);
    std::string reason;
    if (file::saveXmlDocument(settingsDocument(), fileName, &reason))
        return true;
    if (reportedSaveFailures.insert(reason).second)
        logWarning("...%s could not be saved (%s)", fileName, reason.c_str());
    return false;
}

bool saveChangedSettings() {
    return settingsLoaded && saveSettings(loadedFileName.c_str());
}

void resetSettings() {
    settingsDocument().Clear();
    settingsDocument().ClearError();
    settingsLoaded = false;
    keepFileUntouched = false;
    reportedSaveFailures.clear();
    followedSections.clear();
}

bool findSetting(const char* section, const char* key, std::string& value) {
    const TiXmlElement* sectionElement = settingsDocument().FirstChildElement(section);
    const TiXmlElement* keyElement =
        sectionElement != nullptr ? sectionElement->FirstChildElement(key) : nullptr;
    const char* text = keyElement != nullptr ? keyElement->Attribute(kValueAttribute) : nullptr;
    if (text == nullptr)
        return false;
    value = text;
    return true;
}

void followSectionInFile(const char* section) {
    followedSections.insert(section);
}

bool rememberSettingInFile(const std::filesystem::path& path, const char* section, const char* key,
                           const std::string& value, std::string& reason) {
    TiXmlDocument document;
    std::error_code error;
    if (std::filesystem::exists(path, error)) {
        std::string text;
        std::string unread;
        if (file::readWholeFile(path, text, unread) != file::ReadResult::Read) {
            reason = "it cannot be read";
            return false;
        }
        if (!file::parseXmlDocument(document, text) || !file::isValidUtf8(text)) {
            reason = "it is not a settings file the game reads";
            return false;
        }
    } else {
        document.InsertEndChild(TiXmlDeclaration("1.0", "utf-8", ""));
    }
    TiXmlElement* sectionElement = document.FirstChildElement(section);
    if (sectionElement == nullptr)
        sectionElement = document.LinkEndChild(new TiXmlElement(section))->ToElement();
    TiXmlElement* keyElement = sectionElement->FirstChildElement(key);
    if (keyElement == nullptr)
        keyElement = sectionElement->LinkEndChild(new TiXmlElement(key))->ToElement();
    keyElement->SetAttribute(kValueAttribute, value);
    return file::replaceFile(path, file::internal::printXmlDocument(document), reason);
}

TiXmlElement* settingsSection(const char* name) {
    TiXmlDocument& document = settingsDocument();
    TiXmlElement* section = document.FirstChildElement(name);
    if (section == nullptr)
        section = document.LinkEndChild(new TiXmlElement(name))->ToElement();
    return section;
}

TiXmlElement* settingsChild(TiXmlElement* element, const char* name) {
    if (element == nullptr)
        return nullptr;
    TiXmlElement* child = element->FirstChildElement(name);
    if (child == nullptr)
        child = element->LinkEndChild(new TiXmlElement(name))->ToElement();
    return child;
}

bool getSetting(const char* section, const char* key, const char* attribute, int& value) {
    TiXmlElement* element = keyElement(section, key);
    if (element == nullptr)
        return true;
    if (const char* text = element->Attribute(attribute)) {
        value = std::atoi(text);
    } else {
        element->SetAttribute(attribute, value);
    }
    return true;
}

bool getSetting(const char* section, const char* key, int& value) {
    return getSetting(section, key, kValueAttribute, value);
}

bool getSetting(const char* section, const char* key, const char* attribute, float& value) {
    TiXmlElement* element = keyElement(section, key);
    if (element == nullptr)
        return true;
    if (const char* text = element->Attribute(attribute)) {
        value = static_cast<float>(std::atof(text));
    } else {
        element->SetAttribute(attribute, floatText(value));
    }
    return true;
}

bool getSetting(const char* section, const char* key, float& value) {
    return getSetting(section, key, kValueAttribute, value);
}

bool getSetting(const char* section, const char* key, const char* attribute, std::string& value) {
    TiXmlElement* element = keyElement(section, key);
    if (element == nullptr)
        return true;
    if (const char* text = element->Attribute(attribute)) {
        value = text;
    } else {
        element->SetAttribute(attribute, value);
    }
    return true;
}

bool getSetting(const char* section, const char* key, std::string& value) {
    return getSetting(section, key, kValueAttribute, value);
}

bool setSetting(const char* section, const char* key, const char* attribute, int value) {
    stopFollowing(section);
    TiXmlElement* element = keyElement(section, key);
    if (element == nullptr)
        return false;
    element->SetAttribute(attribute, value);
    return true;
}

bool setSetting(const char* section, const char* key, int value) {
    return setSetting(section, key, kValueAttribute, value);
}

bool setSetting(const char* section, const char* key, const char* attribute, float value) {
    stopFollowing(section);
    TiXmlElement* element = keyElement(section, key);
    if (element == nullptr)
        return false;
    element->SetAttribute(attribute, floatText(value));
    return true;
}

bool setSetting(const char* section, const char* key, float value) {
    return setSetting(section, key, kValueAttribute, value);
}

bool setSetting(const char* section, const char* key, const char* attribute, const std::string& value) {
    stopFollowing(section);
    TiXmlElement* element = keyElement(section, key);
    if (element == nullptr)
        return false;
    element->SetAttribute(attribute, value);
    return true;
}

bool setSetting(const char* section, const char* key, const std::string& value) {
    return setSetting(section, key, kValueAttribute, value);
}

}  // namespace pentavel
