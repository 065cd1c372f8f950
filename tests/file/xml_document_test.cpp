// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/file/xml_document.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <sys/resource.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "engine/file/file_system.h"
#include "engine/file/log.h"
#include "file/zip_writer.h"

#include "support/mounted_folder.h"

namespace {

using pentavel::file::loadXmlDocument;
using pentavel::file::saveXmlDocument;

const std::string kMark = "\xEF\xBB\xBF";

class XmlDocumentTest : public ::testing::Test {
protected:
    test::MountedFolder dir;
};

TEST_F(XmlDocumentTest, CarriageReturnsBecomeLineFeeds) {
    dir.write("doc.xml", "<root>\r\n<!--one\r\ntwo\rthree\n\rfour-->\r<item/></root>");
    TiXmlDocument document;
    ASSERT_TRUE(loadXmlDocument(document, "doc.xml"));
    const TiXmlNode* comment = document.RootElement()->FirstChild();
    ASSERT_NE(nullptr, comment->ToComment());
    EXPECT_STREQ("one\ntwo\nthree\n\nfour", comment->Value());
}

TEST_F(XmlDocumentTest, AByteOrderMarkIsWrittenBackOnlyWhenOneWasRead) {
    dir.write("marked.xml", kMark + "<a x=\"1\"/>");
    dir.write("plain.xml", "<a x=\"2\"/>");
    TiXmlDocument document;
    ASSERT_TRUE(loadXmlDocument(document, "marked.xml"));
    ASSERT_TRUE(saveXmlDocument(document, "marked-out.xml"));
    EXPECT_EQ(kMark + "<a x=\"1\" />\n", dir.read("marked-out.xml"));

    // The same document read again from a file without the mark.
    ASSERT_TRUE(loadXmlDocument(document, "plain.xml"));
    ASSERT_TRUE(saveXmlDocument(document, "plain-out.xml"));
    EXPECT_EQ("<a x=\"2\" />\n", dir.read("plain-out.xml"));
    // ... or from a file that is not there: it is empty, without the mark.
    ASSERT_TRUE(loadXmlDocument(document, "marked.xml"));
    EXPECT_FALSE(loadXmlDocument(document, "missing.xml"));
    document.LinkEndChild(new TiXmlElement("c"));
    ASSERT_TRUE(saveXmlDocument(document, "missing-out.xml"));
    EXPECT_EQ("<c />\n", dir.read("missing-out.xml"));

    TiXmlDocument fresh;
    fresh.LinkEndChild(new TiXmlElement("b"));
    ASSERT_TRUE(saveXmlDocument(fresh, "fresh.xml"));
    EXPECT_EQ("<b />\n", dir.read("fresh.xml"));
}

TEST_F(XmlDocumentTest, SavingIndentsByFourSpacesAndReplacesTheFileKeepingItsMode) {
    dir.write("out.xml", std::string(500, 'z'));
    std::filesystem::permissions(dir.path() + "/out.xml", std::filesystem::perms(0640));
    TiXmlDocument document;
    TiXmlElement* root = new TiXmlElement("root");
    root->LinkEndChild(new TiXmlElement("child"))->ToElement()->SetAttribute("n", 3);
    document.LinkEndChild(root);
    ASSERT_TRUE(saveXmlDocument(document, "out.xml"));
    EXPECT_EQ("<root>\n    <child n=\"3\" />\n</root>\n", dir.read("out.xml"));
    EXPECT_FALSE(dir.exists("out.xml.new"));
    EXPECT_EQ(std::filesystem::perms(0640), std::filesystem::status(dir.path() + "/out.xml").permissions());
}

TEST_F(XmlDocumentTest, SavingThroughLinksReplacesTheFileTheyLeadToAndKeepsThem) {
    test::TempDir elsewhere;
    const std::string target = elsewhere.write("settings.xml", "<old/>");
    std::filesystem::permissions(target,
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    // A link to a relative link beside it, which leads out of the folder.
    std::filesystem::create_symlink(target, dir.path() + "/chain.xml");
    std::filesystem::create_symlink("chain.xml", dir.path() + "/linked.xml");
    TiXmlDocument document;
    document.LinkEndChild(new TiXmlElement("new"));
    ASSERT_TRUE(saveXmlDocument(document, "linked.xml"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.path() + "/linked.xml"));
    EXPECT_EQ("<new />\n", elsewhere.read("settings.xml"));
    EXPECT_EQ(std::filesystem::perms::owner_read | std::filesystem::perms::owner_write,
              std::filesystem::status(target).permissions());

    std::filesystem::create_symlink("loop.xml", dir.path() + "/loop.xml");
    std::string why;
    EXPECT_FALSE(saveXmlDocument(document, "loop.xml", &why));
    EXPECT_EQ(std::strerror(ELOOP), why);
}

TEST_F(XmlDocumentTest, AFailedSaveLeavesTheOldFileWhole) {
    dir.write("kept.xml", "<old/>");
    // A folder where the temporary file would go makes the write fail before the old file is touched.
    dir.write("kept.xml.new/blocker", "");
    TiXmlDocument document;
    document.LinkEndChild(new TiXmlElement("new"));
    EXPECT_FALSE(saveXmlDocument(document, "kept.xml"));
    EXPECT_EQ("<old/>", dir.read("kept.xml"));
}

TEST_F(XmlDocumentTest, MissingEmptyAndMalformedFilesFailWithTheirErrors) {
    dir.write("empty.xml", "");
    dir.write("bad.xml", "<a><b></a>");
    TiXmlDocument document;
    EXPECT_FALSE(loadXmlDocument(document, "missing.xml"));
    EXPECT_EQ(TiXmlBase::TIXML_ERROR_OPENING_FILE, document.ErrorId());
    EXPECT_FALSE(loadXmlDocument(document, "empty.xml"));
    EXPECT_EQ(TiXmlBase::TIXML_ERROR_DOCUMENT_EMPTY, document.ErrorId());
    EXPECT_FALSE(loadXmlDocument(document, "bad.xml"));
    EXPECT_TRUE(document.Error());
}

long peakResidentKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

TEST_F(XmlDocumentTest, ALengthThatAnArchiveOverstatesCommitsNoMemory) {
    // Each entry holds a few bytes; one declares 60 MB, the other 2 GiB - 1.
    auto overstated = [](const char* name, const char* size) {
        std::string archive = test::zipArchive({{name, "<level/>"}});
        const std::size_t directory = archive.find("PK\x01\x02");
        for (std::size_t at : {std::size_t{22}, directory + 24})
            archive.replace(at, 4, size, 4);
        return archive;
    };
    dir.write("a.pak", overstated("level.xml", "\x00\x00\xC0\x03"));
    dir.write("b.pak", overstated("sprites.svg", "\xFF\xFF\xFF\x7F"));
    pentavel::file::mountArchive("a.pak");
    pentavel::file::mountArchive("b.pak");
    ASSERT_TRUE(pentavel::openLog());
    const long before = peakResidentKilobytes();
    TiXmlDocument document;
    EXPECT_FALSE(loadXmlDocument(document, "level.xml"));
    EXPECT_FALSE(loadXmlDocument(document, "sprites.svg"));
    EXPECT_LT(peakResidentKilobytes() - before, 16 * 1024);
    pentavel::closeLog();
    const std::string log = dir.read("log.html");
    EXPECT_NE(std::string::npos, log.find("File sprites.svg is too large (over 64 MB)!"));
    EXPECT_EQ(std::string::npos, log.find("level.xml"));  // a short read is not reported here
    EXPECT_EQ(std::string::npos, log.find("Cannot mount"));
}

TEST_F(XmlDocumentTest, ReadsAlongTheSearchPathAndWritesOnlyToTheWriteDirectory) {
    test::TempDir program;
    program.write("level.xml", "<levels count=\"2\"/>");
    test::mountOnly(dir.path(), program.path());
    TiXmlDocument document;
    ASSERT_TRUE(loadXmlDocument(document, "level.xml"));
    ASSERT_TRUE(saveXmlDocument(document, "level.xml"));
    EXPECT_EQ("<levels count=\"2\"/>", program.read("level.xml"));
    EXPECT_EQ("<levels count=\"2\" />\n", dir.read("level.xml"));
}

}  // namespace
