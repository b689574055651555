#include "library/xml_props.h"

#include <gtest/gtest.h>

#include <aclapi.h>
#include <sddl.h>

#include <chrono>

#include "base/msxml_ids.h"
#include "library/file_replace.h"
#include "library/test_files.h"

namespace {

class XmlPropsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        test_files::Empty(m_folder);
    }
    std::unique_ptr<CXMLProps> Open() { return OpenXmlFile(m_path); }

    std::wstring m_folder = test_files::Folder(L"xml_props");
    std::wstring m_path = m_folder + L"data.xml";
};

constexpr char kSample[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<kelvo>\n"
    "  <chunks>\n"
    "    <chunk id=\"17\">seventeen</chunk>\n"
    "    <!-- a comment between elements -->\n"
    "    <chunk id=\"7\" title=\"t\" count=\"12\" bad=\"x12\" big=\"99999999999\">seven</chunk>\n"
    "    <chunk id=\"70\">seventy</chunk>\n"
    "  </chunks>\n"
    "</kelvo>\n";

} // namespace

TEST_F(XmlPropsTest, MissingFileReadsAsEmptyAndIsWrittenOnlyBySave) {
    auto xml = Open();
    ASSERT_EQ(xml->Depth(), 1u); // the root
    EXPECT_FALSE(xml->Select(L"settings", false));
    EXPECT_EQ(xml->GetIntAttr(L"next-id", 1), 1);
    EXPECT_FALSE(test_files::Exists(m_path));

    ASSERT_TRUE(xml->Select(L"settings", true));
    xml->SetIntAttr(L"hotkey", -5);
    xml->Up();
    ASSERT_TRUE(xml->Select(L"settings", false));
    EXPECT_EQ(xml->GetIntAttr(L"hotkey", 0), -5);
    ASSERT_TRUE(xml->Save());

    std::string saved = test_files::Read(m_path);
    EXPECT_EQ(saved.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u) << saved;
    EXPECT_NE(saved.find("hotkey=\"-5\""), std::string::npos) << saved;
    EXPECT_EQ(test_files::List(m_folder).size(), 1u) << "no temporary file is left behind";
}

TEST_F(XmlPropsTest, SelectWalkAndAttributes) {
    test_files::Write(m_path, kSample);
    auto xml = Open();
    ASSERT_TRUE(xml->Select(L"chunks", false));
    ASSERT_TRUE(xml->Select(L"chunk[@id=\"7\"]", false));
    EXPECT_EQ(xml->GetText(), L"seven");
    EXPECT_EQ(xml->GetIntAttr(L"count", -1), 12);
    EXPECT_EQ(xml->GetIntAttr(L"bad", -1), -1);
    EXPECT_EQ(xml->GetIntAttr(L"big", -1), -1);
    EXPECT_EQ(xml->GetIntAttr(L"missing", -1), -1);
    EXPECT_EQ(xml->GetUIntAttr(L"count"), 12u);
    EXPECT_EQ(xml->GetStrAttr(L"title"), L"t");
    EXPECT_EQ(xml->GetStrAttr(L"missing", L"dflt"), L"dflt");
    std::wstring value;
    EXPECT_FALSE(xml->GetAttr(L"missing", value));

    // Next skips the comment and white space between elements.
    ASSERT_TRUE(xml->Next());
    EXPECT_EQ(xml->GetStrAttr(L"id"), L"70");
    const std::size_t depth = xml->Depth();
    EXPECT_FALSE(xml->Next());
    EXPECT_EQ(xml->Depth(), depth);
    EXPECT_EQ(xml->GetStrAttr(L"id"), L"70");

    xml->Up();
    EXPECT_FALSE(xml->Select(L"chunk[@id=\"8\"]", false));
}

TEST_F(XmlPropsTest, SetChildTextCreatesTheChildAndStaysWhereItWas) {
    auto xml = Open();
    ASSERT_TRUE(xml->SetChildText(L"password", L"secret"));
    EXPECT_EQ(xml->Depth(), 1u);
    ASSERT_TRUE(xml->SetChildText(L"password", L"second"));
    ASSERT_TRUE(xml->Select(L"password", false));
    EXPECT_EQ(xml->GetText(), L"second");
    xml->Up();
    EXPECT_FALSE(xml->Next()) << "only one password element";
}

TEST_F(XmlPropsTest, RemoveCurrentAndOperationsOnAnEmptyStack) {
    test_files::Write(m_path, kSample);
    auto xml = Open();
    ASSERT_TRUE(xml->Select(L"chunks", false));
    ASSERT_TRUE(xml->Select(L"chunk[@id=\"7\"]", false));
    EXPECT_TRUE(xml->RemoveCurrent());
    EXPECT_FALSE(xml->Select(L"chunk[@id=\"7\"]", false));
    EXPECT_TRUE(xml->Select(L"chunk[@id=\"17\"]", false));

    while (xml->Depth() > 1)
        xml->Up();
    EXPECT_FALSE(xml->RemoveCurrent()) << "the root has no parent on the stack";
    EXPECT_EQ(xml->Depth(), 0u);
    EXPECT_FALSE(xml->Select(L"chunks", true));
    EXPECT_FALSE(xml->AddChild(L"x"));
    EXPECT_FALSE(xml->Next());
    EXPECT_FALSE(xml->GetText().has_value());
    xml->Up();
}

TEST_F(XmlPropsTest, TextComesBackExactly) {
    const std::wstring texts[] = {
        L"",
        L"   leading and trailing   ",
        L" ",
        L"\r\n\r\n",
        L"line one\r\n\r\n\tline three\r\n",
        L"<tag> & \"quotes\" 'apostrophes' ]]> &amp;",
        L"\U0001F600 surrogates \U00010437",
        L"[TAB][ENTER]\t[SLEEP 100]",
    };
    {
        auto xml = Open();
        ASSERT_TRUE(xml->Select(L"chunks", true));
        for (const auto& text : texts) {
            ASSERT_TRUE(xml->AddChild(L"chunk"));
            ASSERT_TRUE(xml->SetChildText(nullptr, text));
            xml->SetStrAttr(L"title", text);
            xml->Up();
        }
        ASSERT_TRUE(xml->Save());
    }
    auto xml = Open();
    ASSERT_TRUE(xml->Select(L"chunks", false));
    ASSERT_TRUE(xml->Select(L"chunk", false));
    for (const auto& text : texts) {
        EXPECT_EQ(xml->GetText(), text);
        EXPECT_EQ(xml->GetStrAttr(L"title"), text);
        xml->Next();
    }
}

TEST_F(XmlPropsTest, CharactersXmlCannotCarryNeverReachTheFile) {
    const std::wstring forbidden = std::wstring(L"\0\x01\x08\x0B\x0C\x0E\x1F\xFFFE\xFFFF", 9) +
                                   wchar_t(0xD800) + L"x" + wchar_t(0xDC00);
    {
        auto xml = Open();
        ASSERT_TRUE(xml->SetChildText(L"find", L"a" + forbidden + L"b\U0001F600"));
        xml->SetStrAttr(L"title", forbidden + L"\tc");
        ASSERT_TRUE(xml->Save());
    }
    CXMLProps reread;
    ASSERT_TRUE(reread.Load(m_path.c_str())) << test_files::Read(m_path);
    EXPECT_EQ(reread.GetStrAttr(L"title"), L"x\tc");
    ASSERT_TRUE(reread.Select(L"find", false));
    EXPECT_EQ(reread.GetText(), L"axb\U0001F600");
    reread.Up();
    reread.SetIntAttr(L"mark", 1);
    ASSERT_TRUE(reread.Save());
    for (const auto& name : test_files::List(m_folder))
        EXPECT_EQ(name.find(L".unreadable-"), std::wstring::npos) << "a clean file keeps no copy";
}

TEST_F(XmlPropsTest, AFileWithRawForbiddenCharactersIsReadAndKeptBeforeTheFirstSave) {
    const std::string stored = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                               "<kelvo a=\"x\x0By\"><find>p\x01q\xEF\xBF\xBFr</find></kelvo>\n";
    test_files::Write(m_path, stored);
    auto xml = Open();
    EXPECT_EQ(xml->GetStrAttr(L"a"), L"xy");
    ASSERT_TRUE(xml->Select(L"find", false));
    EXPECT_EQ(xml->GetText(), L"pqr");
    xml->Up();
    xml->SetIntAttr(L"mark", 1);
    ASSERT_TRUE(xml->Save());

    std::wstring copy;
    for (const auto& name : test_files::List(m_folder))
        if (name.rfind(L"data.xml.unreadable-", 0) == 0)
            copy = m_folder + name;
    ASSERT_FALSE(copy.empty());
    EXPECT_EQ(test_files::Read(copy), stored);
    CXMLProps reread;
    ASSERT_TRUE(reread.Load(m_path.c_str()));
    EXPECT_EQ(reread.GetStrAttr(L"a"), L"xy");
    EXPECT_EQ(reread.GetIntAttr(L"mark", 0), 1);
}

TEST_F(XmlPropsTest, SavedBytesAreThoseTheParserWritesToAFile) {
    test_files::Write(m_path, kSample);
    auto xml = Open();
    ASSERT_TRUE(xml->Select(L"chunks", false));
    ASSERT_TRUE(xml->AddChild(L"chunk"));
    ASSERT_TRUE(xml->SetChildText(nullptr, L"line\r\nnext \u00e9 <&> \U0001F600"));
    xml->SetStrAttr(L"title", L"t\r\n\"q\"");
    ASSERT_TRUE(xml->Save());

    // The same document saved by the parser itself, to a path.
    kelvo::ComPtr<IXMLDOMDocument> doc;
    ASSERT_TRUE(SUCCEEDED(::CoCreateInstance(kelvo::msxml::kFreeThreadedDocument, nullptr,
                                             CLSCTX_INPROC_SERVER, kelvo::msxml::kIXMLDOMDocument,
                                             doc.PutVoid())));
    doc->put_preserveWhiteSpace(VARIANT_TRUE);
    kelvo::UniqueVariant source, target;
    source.Get()->bstrVal = kelvo::UniqueBstr(m_path).Release();
    source.Get()->vt = VT_BSTR;
    VARIANT_BOOL loaded = VARIANT_FALSE;
    ASSERT_TRUE(SUCCEEDED(doc->load(*source.Get(), &loaded)) && loaded == VARIANT_TRUE);
    const std::wstring by_parser = m_folder + L"by-parser.xml";
    target.Get()->bstrVal = kelvo::UniqueBstr(by_parser).Release();
    target.Get()->vt = VT_BSTR;
    ASSERT_TRUE(SUCCEEDED(doc->save(*target.Get())));
    EXPECT_EQ(test_files::Read(m_path), test_files::Read(by_parser));
}

TEST_F(XmlPropsTest, BareLineFeedsComeBackWithCarriageReturns) {
    test_files::Write(m_path, "<kelvo><a>one\ntwo\r\nthree\n\n<b>\nfour</b>\r</a></kelvo>");
    auto xml = Open();
    ASSERT_TRUE(xml->Select(L"a", false));
    EXPECT_EQ(xml->GetText(), L"one\r\ntwo\r\nthree\r\n\r\n\r\nfour\r\n");
}

TEST_F(XmlPropsTest, SaveReplacesAReadOnlyFile) {
    test_files::Write(m_path, kSample);
    ASSERT_TRUE(
        ::SetFileAttributesW(m_path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    auto xml = Open();
    xml->SetIntAttr(L"mark", 1);
    ASSERT_TRUE(xml->Save());
    EXPECT_NE(test_files::Read(m_path).find("mark=\"1\""), std::string::npos);
    DWORD attributes = ::GetFileAttributesW(m_path.c_str());
    EXPECT_FALSE(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
}

TEST_F(XmlPropsTest, InterruptedSaveLeavesThePreviousFile) {
    test_files::Write(m_path, kSample);
    auto xml = Open();
    xml->SetIntAttr(L"mark", 1);
    // Another program holding the file without delete sharing makes the final
    // move fail after the temporary file was written.
    HANDLE holder = ::CreateFileW(m_path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(xml->Save());
    ::CloseHandle(holder);

    EXPECT_EQ(test_files::Read(m_path), kSample);
    EXPECT_EQ(test_files::List(m_folder), std::vector<std::wstring>{L"data.xml"})
        << "no temporary file is left behind, neither ours nor the system's";
    auto reread = Open();
    EXPECT_TRUE(reread->Select(L"chunks", false));
}

TEST_F(XmlPropsTest, ASaveIfUnchangedNeverOverwritesWhatCameMeanwhile) {
    const std::string sample = kSample;
    const std::string other = "<kelvo other=\"1\"/>";
    std::string same_size = kSample;
    same_size[same_size.find("seventeen")] = 'S';
    const struct {
        const char* name;
        bool exists_at_load;
        const std::string* meanwhile; // null: removed (or still missing)
        ReplaceResult result;
    } cases[] = {
        {"unchanged", true, &sample, ReplaceResult::kReplaced},
        {"replaced by another version", true, &other, ReplaceResult::kChanged},
        {"replaced by bytes of the same size", true, &same_size, ReplaceResult::kChanged},
        {"removed", true, nullptr, ReplaceResult::kChanged},
        {"still missing", false, nullptr, ReplaceResult::kReplaced},
        {"made by another writer", false, &other, ReplaceResult::kChanged},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test_files::Empty(m_folder);
        if (c.exists_at_load)
            test_files::Write(m_path, kSample);
        auto xml = Open();
        xml->SetIntAttr(L"mark", 1);
        if (c.meanwhile)
            test_files::Write(m_path, *c.meanwhile);
        else
            ::DeleteFileW(m_path.c_str());
        EXPECT_EQ(xml->SaveIfUnchanged(), c.result);
        const std::string now = test_files::Read(m_path);
        if (c.result == ReplaceResult::kReplaced) {
            EXPECT_NE(now.find("mark=\"1\""), std::string::npos);
        } else {
            EXPECT_EQ(now, c.meanwhile ? *c.meanwhile : "");
        }
        EXPECT_EQ(test_files::List(m_folder).size(), test_files::Exists(m_path) ? 1u : 0u)
            << "no temporary file stays";
    }
}

TEST_F(XmlPropsTest, StrayTemporariesOfTheTargetGoWithTheNextSave) {
    const wchar_t* strays[] = {L"data.xml.4242-123456-1.kelvo-tmp", L"data.xml.x.kelvo-tmp"};
    const wchar_t* others[] = {L"other.xml.4242-1-1.kelvo-tmp", L"data.xml.kelvo-tmp.bak",
                               L"data.xml.1.kelvo-tmpx"};
    // Left by saves cut short while they wrote: the target is still there.
    test_files::Write(m_path, kSample);
    for (auto name : strays)
        test_files::Write(m_folder + name, "half a file");
    for (auto name : others)
        test_files::Write(m_folder + name, "not ours to remove");
    auto xml = Open();
    xml->SetIntAttr(L"mark", 1);
    ASSERT_TRUE(xml->Save());
    for (auto name : strays)
        EXPECT_FALSE(test_files::Exists(m_folder + name)) << std::wstring_view(name).size();
    for (auto name : others)
        EXPECT_TRUE(test_files::Exists(m_folder + name)) << std::wstring_view(name).size();
    EXPECT_EQ(test_files::List(m_folder).size(), 1u + std::size(others));
}

TEST_F(XmlPropsTest, AReplaceCutShortBetweenItsMovesIsCompletedWhenTheFileIsRead) {
    // No file: the old contents moved away, the new ones under their
    // temporary name, and a stray from a save cut short while it wrote.
    const std::wstring stray = m_folder + L"data.xml.4242-1-1.kelvo-tmp";
    const std::wstring newer = m_folder + L"data.xml.4242-2-2.kelvo-tmp";
    const std::wstring moved_away = m_folder + L"data.xml.4242-2-2.replaced.kelvo-tmp";
    test_files::Write(stray, "<kelvo><chun");
    test_files::Write(newer, kSample);
    test_files::Write(moved_away, "<kelvo/>");
    test_files::Write(m_folder + L"other.xml.4242-3-3.kelvo-tmp", "<kelvo/>");

    auto xml = Open();
    EXPECT_TRUE(xml->Select(L"chunks", false)) << "the new contents are read";
    EXPECT_EQ(test_files::Read(m_path), kSample);
    EXPECT_FALSE(test_files::Exists(newer));
    EXPECT_FALSE(test_files::Exists(moved_away));
    ASSERT_TRUE(xml->Save());
    EXPECT_EQ(test_files::List(m_folder).size(), 2u) << "the stray went with the save";
    EXPECT_TRUE(test_files::Exists(m_folder + L"other.xml.4242-3-3.kelvo-tmp"));
    EXPECT_FALSE(test_files::Exists(stray));
}

TEST_F(XmlPropsTest, AFileMovedAwayIsNotBroughtBackFromAWriteCutShort) {
    // A whole temporary file from a save killed before it replaced the file;
    // later the user moves the file away.
    const std::wstring stray = m_folder + L"data.xml.4242-1-1.kelvo-tmp";
    test_files::Write(stray, kSample);
    auto xml = Open();
    EXPECT_FALSE(xml->Select(L"chunks", false));
    EXPECT_FALSE(test_files::Exists(m_path));
    EXPECT_TRUE(test_files::Exists(stray)) << "left for the next save to remove";
}

namespace {

std::wstring Dacl(const std::wstring& file) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    PACL dacl = nullptr;
    if (::GetNamedSecurityInfoW(file.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS)
        return L"<unreadable>";
    wchar_t* text = nullptr;
    ::ConvertSecurityDescriptorToStringSecurityDescriptorW(
        descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr);
    std::wstring result = text ? text : L"<none>";
    ::LocalFree(text);
    ::LocalFree(descriptor);
    return result;
}

bool UnderWine() {
    return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// The same file: same volume and file index.
bool SameFile(const std::wstring& a, const std::wstring& b) {
    auto info = [](const std::wstring& path) {
        BY_HANDLE_FILE_INFORMATION data{};
        HANDLE file = ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, 7, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            ::GetFileInformationByHandle(file, &data);
            ::CloseHandle(file);
        }
        return data;
    };
    auto x = info(a), y = info(b);
    return x.nFileIndexLow == y.nFileIndexLow && x.nFileIndexHigh == y.nFileIndexHigh &&
           x.dwVolumeSerialNumber == y.dwVolumeSerialNumber && x.nFileIndexLow | x.nFileIndexHigh;
}

} // namespace

TEST_F(XmlPropsTest, SaveKeepsTheFilesSecurity) {
    test_files::Write(m_path, kSample);
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    // Protected: only the owner (full access) and Everyone (read), nothing inherited.
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(
        L"D:P(A;;FA;;;OW)(A;;FR;;;WD)", SDDL_REVISION_1, &descriptor, nullptr));
    ASSERT_TRUE(::SetFileSecurityW(m_path.c_str(), DACL_SECURITY_INFORMATION, descriptor));
    ::LocalFree(descriptor);
    const std::wstring before = Dacl(m_path);
    auto xml = Open();
    xml->SetIntAttr(L"mark", 1);
    ASSERT_TRUE(xml->Save());
    EXPECT_NE(test_files::Read(m_path).find("mark=\"1\""), std::string::npos);
    // Wine 8 keeps no security descriptor of a file's own (it shows one made
    // from the Unix permissions), and its ReplaceFileW does not carry even
    // those over: there only the save itself is checked.
    if (!UnderWine()) {
        EXPECT_EQ(Dacl(m_path), before);
    }
}

TEST_F(XmlPropsTest, ALinkStaysALinkAndItsTargetIsReplaced) {
    const std::wstring real_folder = m_folder + L"real\\";
    ::CreateDirectoryW(real_folder.c_str(), nullptr);
    test_files::Empty(real_folder);
    const std::wstring target = real_folder + L"target.xml";
    test_files::Write(target, kSample);

    // The resolution step on its own: a file names itself, a missing one is
    // taken as given.
    EXPECT_TRUE(SameFile(FinalPathOf(target), target));
    EXPECT_EQ(FinalPathOf(m_folder + L"missing.xml"), m_folder + L"missing.xml");

    ::CreateSymbolicLinkW(m_path.c_str(), target.c_str(),
                          SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
    if (!(::GetFileAttributesW(m_path.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) ||
        !test_files::Exists(m_path))
        GTEST_SKIP() << "no symbolic links here (Wine 8 reports success and creates none; "
                        "Windows needs developer mode or the privilege)";
    EXPECT_TRUE(SameFile(FinalPathOf(m_path), target));
    auto xml = Open();
    xml->SetIntAttr(L"mark", 1);
    ASSERT_TRUE(xml->Save());
    EXPECT_TRUE(::GetFileAttributesW(m_path.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);
    EXPECT_NE(test_files::Read(target).find("mark=\"1\""), std::string::npos);
    EXPECT_EQ(test_files::List(real_folder), std::vector<std::wstring>{L"target.xml"});
    ::DeleteFileW(m_path.c_str());
}

namespace {

struct HostileCase {
    const char* name;
    std::string content;
    bool loads;      // Load succeeds
    bool writable;   // a writer's Save goes through
    bool keeps_copy; // the old file is kept beside the new one
};

std::string Utf16LeWithBom(const std::wstring& text) {
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return bytes;
}

std::string EntityBomb() {
    std::string doc = "<?xml version=\"1.0\"?>\n<!DOCTYPE kelvo [\n<!ENTITY a \"aaaaaaaaaa\">\n";
    for (char level = 'b'; level <= 'k'; ++level) {
        doc += "<!ENTITY ";
        doc += level;
        doc += " \"";
        for (int i = 0; i < 10; ++i)
            (doc += '&') += static_cast<char>(level - 1), doc += ';';
        doc += "\">\n";
    }
    return doc + "]>\n<kelvo><chunks><chunk id=\"1\">&k;</chunk></chunks></kelvo>";
}

std::string DeepNesting() {
    std::string doc = "<kelvo>";
    for (int i = 0; i < 200000; ++i)
        doc += "<a>";
    return doc;
}

} // namespace

TEST_F(XmlPropsTest, HostileFilesAreHandledSafely) {
    const std::wstring secret = m_folder + L"secret.txt";
    const std::string external =
        "<?xml version=\"1.0\"?>\n<!DOCTYPE kelvo [<!ENTITY x SYSTEM \"secret.txt\">]>\n"
        "<kelvo><chunks><chunk id=\"1\">&x;</chunk></chunks></kelvo>";
    const HostileCase cases[] = {
        {"empty file", "", false, true, false},
        {"truncated", std::string(kSample).substr(0, 60), false, true, true},
        {"binary junk", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xfe", 18), false, true,
         true},
        {"other root", "<?xml version=\"1.0\"?><settings next-id=\"3\"/>", false, false, false},
        {"entity bomb", EntityBomb(), false, true, true},
        {"external entity", external, false, true, true},
        {"document type behind a control character",
         "<!DOC\x01TYPE kelvo [<!ENTITY x SYSTEM \"secret.txt\">]>\n"
         "<kelvo><chunks><chunk id=\"1\">&x;</chunk></chunks></kelvo>",
         false, true, true},
        {"deep nesting", DeepNesting(), false, true, true},
        {"UTF-8 with BOM",
         "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?><kelvo a=\"\xC3\xA9\"/>", true,
         true, false},
        {"UTF-16 with BOM",
         Utf16LeWithBom(L"<?xml version=\"1.0\" encoding=\"UTF-16\"?><kelvo a=\"\u00e9\"/>"), true,
         true, false},
        {"huge attribute", "<kelvo a=\"" + std::string(8 << 20, 'x') + "\"/>", true, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test_files::Empty(m_folder);
        test_files::Write(secret, "TOP-SECRET-CONTENT");
        test_files::Write(m_path, c.content);

        CXMLProps probe;
        EXPECT_EQ(probe.Load(m_path.c_str()), c.loads);

        auto xml = Open();
        if (c.loads) {
            EXPECT_FALSE(xml->GetStrAttr(L"a").empty());
        }
        auto text = xml->GetText();
        EXPECT_EQ(text.value_or(L"").find(L"TOP-SECRET"), std::wstring::npos);

        xml->Select(L"chunks", true);
        xml->SetIntAttr(L"mark", 1);
        EXPECT_EQ(xml->Save(), c.writable);

        std::string now = test_files::Read(m_path);
        if (c.writable) {
            EXPECT_NE(now.find("mark=\"1\""), std::string::npos);
            EXPECT_EQ(now.find("TOP-SECRET"), std::string::npos);
        } else {
            EXPECT_EQ(now, c.content) << "the file is left untouched";
        }
        std::wstring copy;
        for (const auto& name : test_files::List(m_folder))
            if (name.rfind(L"data.xml.unreadable-", 0) == 0)
                copy = m_folder + name;
        EXPECT_EQ(!copy.empty(), c.keeps_copy);
        if (!copy.empty()) {
            EXPECT_EQ(test_files::Read(copy), c.content);
        }
    }
}
