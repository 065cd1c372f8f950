#include "engine/file/xml_document.h"

#include <physfs.h>
#include <tinyxml.h>

#include <cstdint>
#include <cstdio>
#include <set>
#include <string>

#include "engine/file/file_system.h"

namespace pentavel {
namespace file {
namespace {

const char kByteOrderMark[] = "\xEF\xBB\xBF";
const std::size_t kByteOrderMarkSize = 3;
const char* const kIndent = "    ";
// Far beyond any document of the game; keeps a corrupt length from exhausting memory.
const std::int64_t kMaxDocumentSize = INT32_MAX;

// TinyXML notes a byte-order mark privately and never writes it back, so the documents read with one are
// remembered here. Every load refreshes the entry of its document. Built at static initialisation, so it
// outlives the exit handler that saves the settings.
std::set<const TiXmlDocument*> markedDocuments;

std::set<const TiXmlDocument*>& documentsWithMark() {
    return markedDocuments;
}

// Renames a file of the write directory over another there (the virtual file system has no rename).
bool replaceInWriteDirectory(const std::string& from, const std::string& to) {
    std::string directory = PHYSFS_getWriteDir();
    const std::string separator = PHYSFS_getDirSeparator();
    if (directory.empty() ||
        directory.compare(directory.size() - separator.size(), separator.size(), separator) != 0)
        directory += separator;
    std::string source = from;
    std::string target = to;
    toPlatformSeparators(source);
    toPlatformSeparators(target);
    return std::rename((directory + source).c_str(), (directory + target).c_str()) == 0;
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

bool readWhole(const char* name, std::string& text) {
    FileHandle* handle = openFileRead(name);
    if (handle == nullptr)
        return false;
    const PHYSFS_sint64 length = PHYSFS_fileLength(handle);
    bool read = length >= 0 && length <= kMaxDocumentSize;
    if (read) {
        text.resize(static_cast<std::size_t>(length));
        read =
            length == 0 || PHYSFS_readBytes(handle, &text[0], static_cast<PHYSFS_uint64>(length)) == length;
    }
    closeFile(handle);
    return read;
}

bool writeAll(FileHandle* handle, const char* bytes, std::size_t size) {
    return size == 0 || PHYSFS_writeBytes(handle, bytes, size) == static_cast<PHYSFS_sint64>(size);
}

}  // namespace

bool loadXmlDocument(TiXmlDocument& document, const char* name) {
    document.Clear();
    documentsWithMark().erase(&document);
    std::string text;
    if (name == nullptr || !readWhole(name, text)) {
        document.SetError(TiXmlBase::TIXML_ERROR_OPENING_FILE, nullptr, nullptr, TIXML_ENCODING_UNKNOWN);
        return false;
    }
    if (text.compare(0, kByteOrderMarkSize, kByteOrderMark) == 0)
        documentsWithMark().insert(&document);
    text = toLineFeeds(text);
    document.Parse(text.c_str());
    return !document.Error();
}

bool saveXmlDocument(const TiXmlDocument& document, const char* name) {
    if (name == nullptr || PHYSFS_getWriteDir() == nullptr)
        return false;
    TiXmlPrinter printer;
    printer.SetIndent(kIndent);
    document.Accept(&printer);
    // Written beside the target and then renamed over it, so that a write cut short (a full disk, a crash)
    // never leaves the player's file half written.
    const std::string temporary = std::string(name) + ".new";
    FileHandle* handle = openFileWrite(temporary.c_str());
    if (handle == nullptr)
        return false;
    bool written = true;
    if (documentsWithMark().count(&document) != 0) {
        written = writeAll(handle, kByteOrderMark, kByteOrderMarkSize);
    }
    written = written && writeAll(handle, printer.CStr(), printer.Size());
    const bool closed = closeFile(handle);
    if (written && closed && replaceInWriteDirectory(temporary, name))
        return true;
    PHYSFS_delete(temporary.c_str());
    return false;
}

}  // namespace file
}  // namespace pentavel
