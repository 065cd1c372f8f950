#pragma once
// TinyXML documents read from and written to the virtual file system.

class TiXmlDocument;

namespace pentavel {
namespace file {

// Reads the name along the search path, turns CR LF and lone CR into LF and parses. False when the file
// cannot be opened, is empty or is not well-formed (the document then holds the parse error).
bool loadXmlDocument(TiXmlDocument& document, const char* name);
// Prints the document into the write directory, with a UTF-8 byte-order mark only if one was read.
bool saveXmlDocument(const TiXmlDocument& document, const char* name);

}  // namespace file
}  // namespace pentavel
