// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/file/xml_document.h"

#include <physfs.h>
#include <tinyxml.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <system_error>

#include "engine/file/file_system.h"
#include "engine/file/internal/xml_printer.h"
#include "engine/file/log.h"
#include "engine/file/replace_file.h"
#include "engine/file/utf8.h"

namespace pentavel {
namespace file {
namespace {

const char kByteOrderMark[] = "\xEF\xBB\xBF";
const std::size_t kByteOrderMarkSize = 3;
// TinyXML steps over a UTF-8 character whole, up to 4 bytes, even when the text ends inside it; zero bytes
// after the text keep it from reading beyond.
const std::size_t kParsePadding = 4;
// Far beyond any level file, settings file or sprite sheet; keeps a damaged length from exhausting memory.
const std::uint64_t kMaxDocumentSize = std::uint64_t{64} * 1024 * 1024;

// TinyXML notes a byte-order mark privately and never writes it back, so the documents read with one are
// remembered here. Every load refreshes the entry of its document. Built at static initialisation, so it
// outlives the exit handler that saves the settings.
std::set<const TiXmlDocument*> markedDocuments;

std::set<const TiXmlDocument*>& documentsWithMark() {
    return markedDocuments;
}

std::string writeDirectoryPath(const std::string& name) {
    std::string directory = PHYSFS_getWriteDir();
    const std::string separator = PHYSFS_getDirSeparator();
    if (directory.empty() ||
        directory.compare(directory.size() - separator.size(), separator.size(), separator) != 0)
        directory += separator;
    std::string path = name;
    toPlatformSeparators(path);
    return directory + path;
}

// Renames a file of the write directory over another there (the virtual file system has no rename).
bool replaceInWriteDirectory(const std::string& from, const std::string& to, std::string& reason) {
    if (std::rename(writeDirectoryPath(from).c_str(), writeDirectoryPath(to).c_str()) == 0)
        return true;
    reason = std::strerror(errno);
    return false;
}

// Goes on after a short write, so that a full disk is told by the error of the write that finds it full.
bool writeAll(FileHandle* handle, const std::string& bytes, std::string& reason) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const PHYSFS_sint64 written = PHYSFS_writeBytes(handle, bytes.data() + done, bytes.size() - done);
        if (written <= 0) {
            reason = lastFileError();
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

bool replaceThroughFileSystem(const std::string& name, const std::string& text, std::string& reason) {
    const std::string temporary = name + ".new";
    FileHandle* handle = openFileWrite(temporary.c_str());
    if (handle == nullptr) {
        reason = lastFileError();
        return false;
    }
    const bool written = writeAll(handle, text, reason);
    const bool closed = closeFile(handle);
    if (written && !closed)
        reason = lastFileError();
    // The file library makes every new file private; the player's choice of mode and group is kept.
    if (written && closed)
        keepModeAndGroup(writeDirectoryPath(name), writeDirectoryPath(temporary));
    if (written && closed && replaceInWriteDirectory(temporary, name, reason))
        return true;
    PHYSFS_delete(temporary.c_str());
    return false;
}

std::string toLineFeeds(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            result += text[i];
        } else {
            result += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        }
    }
    return result;
}

// The bytes saveXmlDocument writes.
std::string savedText(const TiXmlDocument& document) {
    std::string text;
    if (documentsWithMark().count(&document) != 0)
        text = kByteOrderMark;
    return text + internal::printXmlDocument(document);
}

bool sameNodes(const TiXmlNode* left, const TiXmlNode* right);

bool sameAttributes(const TiXmlElement& left, const TiXmlElement& right) {
    const TiXmlAttribute* a = left.FirstAttribute();
    const TiXmlAttribute* b = right.FirstAttribute();
    for (; a != nullptr && b != nullptr; a = a->Next(), b = b->Next()) {
        if (a->NameTStr() != b->NameTStr() || a->ValueStr() != b->ValueStr())
            return false;
    }
    return a == nullptr && b == nullptr;
}

bool sameChildren(const TiXmlNode& left, const TiXmlNode& right) {
    const TiXmlNode* a = left.FirstChild();
    const TiXmlNode* b = right.FirstChild();
    for (; a != nullptr && b != nullptr; a = a->NextSibling(), b = b->NextSibling()) {
        if (!sameNodes(a, b))
            return false;
    }
    return a == nullptr && b == nullptr;
}

bool sameNodes(const TiXmlNode* left, const TiXmlNode* right) {
    if (left->Type() != right->Type() || left->ValueStr() != right->ValueStr())
        return false;
    if (const TiXmlElement* element = left->ToElement()) {
        if (!sameAttributes(*element, *right->ToElement()))
            return false;
    } else if (const TiXmlText* text = left->ToText()) {
        if (text->CDATA() != right->ToText()->CDATA())
            return false;
    } else if (const TiXmlDeclaration* declaration = left->ToDeclaration()) {
        const TiXmlDeclaration* other = right->ToDeclaration();
        if (std::string(declaration->Version()) != other->Version() ||
            std::string(declaration->Encoding()) != other->Encoding() ||
            std::string(declaration->Standalone()) != other->Standalone())
            return false;
    }
    return sameChildren(*left, *right);
}

}  // namespace

bool readXmlFile(const char* name, std::string& text) {
    if (name == nullptr)
        return false;
    FileHandle* handle = openFileRead(name);
    if (handle == nullptr)
        return false;
    const PHYSFS_sint64 length = PHYSFS_fileLength(handle);
    bool read = false;
    if (length > static_cast<PHYSFS_sint64>(kMaxDocumentSize)) {
        logError("File %s is too large (over %u MB)!", name, static_cast<unsigned>(kMaxDocumentSize >> 20));
    } else if (length >= 0) {
        const FileData bytes = readOpenFile(handle, static_cast<std::uint64_t>(length));
        read = bytes.data != nullptr && bytes.size == static_cast<std::uint64_t>(length);
        if (read)
            text.assign(reinterpret_cast<const char*>(bytes.data), bytes.size);
    }
    closeFile(handle);
    return read;
}

bool loadXmlDocument(TiXmlDocument& document, const char* name) {
    document.Clear();
    documentsWithMark().erase(&document);
    std::string text;
    if (!readXmlFile(name, text)) {
        document.SetError(TiXmlBase::TIXML_ERROR_OPENING_FILE, nullptr, nullptr, TIXML_ENCODING_UNKNOWN);
        return false;
    }
    return parseXmlDocument(document, text);
}

bool parseXmlDocument(TiXmlDocument& document, const std::string& text) {
    document.Clear();
    documentsWithMark().erase(&document);
    if (text.compare(0, kByteOrderMarkSize, kByteOrderMark) == 0)
        documentsWithMark().insert(&document);
    // TinyXML ends quietly, without an error, on some damage (a bad character reference in the XML
    // declaration, a byte that is no character, text after the last element, a zero byte). With a line
    // feed after the text, a document read to its end leaves the parser exactly at the end; anywhere else
    // it stopped early. The line feed itself is white space between nodes and changes nothing.
    const std::string parsed = toLineFeeds(text) + '\n';
    const std::string padded = parsed + std::string(kParsePadding, '\0');
    const char* end = document.Parse(padded.c_str());
    if (document.Error())
        return false;
    if (end != padded.c_str() + parsed.size()) {
        document.Clear();
        document.SetError(TiXmlBase::TIXML_ERROR, nullptr, nullptr, TIXML_ENCODING_UNKNOWN);
        return false;
    }
    return true;
}

bool readsBackUnchanged(const TiXmlDocument& document) {
    const std::string text = savedText(document);
    if (!isValidUtf8(text))
        return false;
    TiXmlDocument reread;
    const bool parsed = parseXmlDocument(reread, text);
    documentsWithMark().erase(&reread);
    return parsed && sameChildren(document, reread);
}

bool saveXmlDocument(const TiXmlDocument& document, const char* name, std::string* why) {
    std::string unasked;
    std::string& reason = why != nullptr ? *why : unasked;
    if (name == nullptr || PHYSFS_getWriteDir() == nullptr) {
        reason = PHYSFS_getErrorByCode(PHYSFS_ERR_NO_WRITE_DIR);
        return false;
    }
    const std::string text = savedText(document);
    // Written beside the target and then renamed over it, so that a write cut short (a full disk, a crash)
    // never leaves the player's file half written. A symbolic link (a settings file kept with the player's
    // other dotfiles) stays in place and its target is replaced instead.
    const std::filesystem::path path = writeDirectoryPath(name);
    std::error_code error;
    if (!std::filesystem::is_symlink(path, error))
        return replaceThroughFileSystem(name, text, reason);
    return replaceFile(path, text, reason);
}

}  // namespace file
}  // namespace pentavel
