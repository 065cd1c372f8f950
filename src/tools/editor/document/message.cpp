// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/editor/document/message.h"

namespace tezmola {
namespace editor {

Message& Message::add(const std::string& more) {
    text += more;
    return *this;
}

Message& Message::addPart(const std::string& part, bool selected) {
    parts.push_back(TextSpan{text.size(), text.size() + part.size(), selected});
    text += part;
    return *this;
}

}  // namespace editor
}  // namespace tezmola
