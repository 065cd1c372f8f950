// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The text that saveXmlDocument writes: TinyXML's own layout, with values escaped so that TinyXML reads
// them back unchanged.

#include <string>

class TiXmlDocument;

namespace pentavel {
namespace file {
namespace internal {

// The document as text, each nesting level indented by four spaces (no byte-order mark).
std::string printXmlDocument(const TiXmlDocument& document);

}  // namespace internal
}  // namespace file
}  // namespace pentavel
