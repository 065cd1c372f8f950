// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TinyXML documents read from and written to the virtual file system.

#include <string>

class TiXmlDocument;

namespace pentavel {
namespace file {

// Reads the whole file along the search path. False when it cannot be opened or read, or is larger than
// 64 MB (then after one error line naming it).
bool readXmlFile(const char* name, std::string& text);
// Reads the name along the search path and parses it like parseXmlDocument. False when the file cannot be
// opened, is larger than 64 MB (one error line), or does not parse whole and clean.
bool loadXmlDocument(TiXmlDocument& document, const char* name);
// Turns CR LF and lone CR into LF and parses. False when the text is empty, not well-formed, or the parser
// stops before its end without an error of its own (the document then holds an error).
bool parseXmlDocument(TiXmlDocument& document, const std::string& text);
// True when the document, printed as saveXmlDocument prints it, is valid UTF-8 and parses back into the
// same nodes, names and values.
bool readsBackUnchanged(const TiXmlDocument& document);
// Prints the document into the write directory, with a UTF-8 byte-order mark only if one was read. A name
// that is a symbolic link there stays one: its final target gets the new content. On failure, why (when
// given) says in a few words what stopped it (the system's error text).
bool saveXmlDocument(const TiXmlDocument& document, const char* name, std::string* why = nullptr);

}  // namespace file
}  // namespace pentavel
