// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/file/internal/xml_printer.h"

#include <tinyxml.h>

#include <cstdint>
#include <cstdio>

namespace pentavel {
namespace file {
namespace internal {
namespace {

const char* const kIndent = "    ";

void appendCharacterReference(std::string& out, unsigned char byte) {
    char reference[8];
    std::snprintf(reference, sizeof reference, "&#x%02X;", static_cast<unsigned>(byte));
    out += reference;
}

// TinyXML's own escaping passes "&#x..." through unescaped, so such a value would come back decoded.
// Here every markup character is escaped, and so is every control character.
void appendEscaped(std::string& out, const std::string& value, bool condensedOnReading) {
    for (std::size_t i = 0; i < value.size(); ++i) {
        const auto byte = static_cast<unsigned char>(value[i]);
        // Text is read with its white space condensed: only a single space between other characters
        // survives as it stands.
        const bool loneInnerSpace =
            i > 0 && i + 1 < value.size() && value[i - 1] != ' ' && value[i + 1] != ' ';
        switch (byte) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            case ' ':
                if (condensedOnReading && !loneInnerSpace) {
                    appendCharacterReference(out, byte);
                } else {
                    out += ' ';
                }
                break;
            default:
                if (byte < 0x20) {
                    appendCharacterReference(out, byte);
                } else {
                    out += static_cast<char>(byte);
                }
        }
    }
}

// The layout of TinyXML's printer: one node a line, an element holding only text on one line.
class Printer : public TiXmlVisitor {
public:
    const std::string& text() const { return text_; }

    bool VisitEnter(const TiXmlElement& element, const TiXmlAttribute* attribute) override {
        indent();
        text_ += '<';
        text_ += element.ValueStr();
        for (; attribute != nullptr; attribute = attribute->Next()) {
            text_ += ' ';
            text_ += attribute->NameTStr();
            text_ += "=\"";
            appendEscaped(text_, attribute->ValueStr(), false);
            text_ += '"';
        }
        const TiXmlNode* child = element.FirstChild();
        if (child == nullptr) {
            text_ += " />\n";
        } else {
            text_ += '>';
            inlineText_ =
                child->ToText() != nullptr && child == element.LastChild() && !child->ToText()->CDATA();
            if (!inlineText_)
                text_ += '\n';
        }
        ++depth_;
        return true;
    }

    bool VisitExit(const TiXmlElement& element) override {
        --depth_;
        if (element.FirstChild() == nullptr)
            return true;
        if (inlineText_) {
            inlineText_ = false;
        } else {
            indent();
        }
        text_ += "</" + element.ValueStr() + ">\n";
        return true;
    }

    bool Visit(const TiXmlDeclaration& declaration) override {
        indent();
        text_ += "<?xml ";
        appendPseudoAttribute("version", declaration.Version());
        appendPseudoAttribute("encoding", declaration.Encoding());
        appendPseudoAttribute("standalone", declaration.Standalone());
        text_ += "?>\n";
        return true;
    }

    bool Visit(const TiXmlText& text) override {
        if (text.CDATA()) {
            indent();
            text_ += "<![CDATA[" + text.ValueStr() + "]]>\n";
        } else if (inlineText_) {
            appendEscaped(text_, text.ValueStr(), true);
        } else {
            indent();
            appendEscaped(text_, text.ValueStr(), true);
            text_ += '\n';
        }
        return true;
    }

    bool Visit(const TiXmlComment& comment) override {
        indent();
        text_ += "<!--" + comment.ValueStr() + "-->\n";
        return true;
    }

    bool Visit(const TiXmlUnknown& unknown) override {
        indent();
        text_ += "<" + unknown.ValueStr() + ">\n";
        return true;
    }

private:
    void indent() {
        for (int level = 0; level < depth_; ++level)
            text_ += kIndent;
    }

    void appendPseudoAttribute(const char* name, const char* value) {
        if (value == nullptr || *value == '\0')
            return;
        text_ += name;
        text_ += "=\"";
        appendEscaped(text_, value, false);
        text_ += "\" ";
    }

    std::string text_;
    int depth_ = 0;
    bool inlineText_ = false;
};

}  // namespace

std::string printXmlDocument(const TiXmlDocument& document) {
    Printer printer;
    document.Accept(&printer);
    return printer.text();
}

}  // namespace internal
}  // namespace file
}  // namespace pentavel
