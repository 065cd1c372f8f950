#include "engine/file/settings.h"

#include <physfs.h>
#include <tinyxml.h>

#include <cstdio>
#include <cstdlib>

#include "engine/file/file_system.h"
#include "engine/file/log.h"
#include "engine/file/xml_document.h"

namespace pentavel {
namespace {

const char* const kValueAttribute = "value";

// Built at static initialisation, so it outlives the exit handler that saves it.
TiXmlDocument document;

TiXmlDocument& settingsDocument() {
    return document;
}

bool settingsLoaded = false;
// Set when a file that could not be parsed could not be kept aside either: it is then never overwritten.
bool keepFileUntouched = false;

void startEmptyDocument() {
    TiXmlDocument& document = settingsDocument();
    document.Clear();
    document.ClearError();
    document.LinkEndChild(new TiXmlDeclaration("1.0", "utf-8", ""));
}

TiXmlElement* keyElement(const char* section, const char* key) {
    return settingsChild(settingsSection(section), key);
}

std::string floatText(float value) {
    char text[64];
    std::snprintf(text, sizeof text, "%f", static_cast<double>(value));
    return text;
}

}  // namespace

bool loadSettings(const char* fileName) {
    logMessage("Loading settings from file: %s", fileName);
    keepFileUntouched = false;
    if (!file::loadXmlDocument(settingsDocument(), fileName)) {
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
    return file::saveXmlDocument(settingsDocument(), fileName);
}

void resetSettings() {
    settingsDocument().Clear();
    settingsDocument().ClearError();
    settingsLoaded = false;
    keepFileUntouched = false;
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
