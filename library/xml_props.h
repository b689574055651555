#pragma once
// Access to the data files: an XML document with a stack of entered nodes that
// callers walk like a directory tree, read and change, and save as a whole.

#include <windows.h>

#include <msxml2.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/com.h"
#include "library/xml_file.h"

class CXMLProps {
public:
    CXMLProps();
    virtual ~CXMLProps();
    CXMLProps(const CXMLProps&) = delete;
    CXMLProps& operator=(const CXMLProps&) = delete;

    // Parses the file; succeeds only for a well-formed file whose top element is
    // "kelvo", which is entered. A document type declaration is refused: the
    // data files never carry one, and it is the door to entity expansion. A
    // file holding raw characters XML cannot carry (written by an earlier
    // build) is read without them, and counts as unreadable as it stands.
    bool Load(const wchar_t* path);
    // How the last Load ended, and for a held file the Win32 error.
    FileState State() const noexcept { return m_state; }
    DWORD ReadError() const noexcept { return m_readError; }
    // A new document holding the declaration and an empty "kelvo" root, entered.
    bool CreateNew(const wchar_t* path);

    // Enters the first node the path finds from the current node; with create on,
    // a miss adds a child element named path instead.
    bool Select(const wchar_t* path, bool create);
    bool AddChild(const wchar_t* name);
    void Up();
    // Moves to the next element among the current node's siblings.
    bool Next();

    bool GetAttr(const wchar_t* name, std::wstring& value);
    int GetIntAttr(const wchar_t* name, int def);
    unsigned GetUIntAttr(const wchar_t* name);
    std::wstring GetStrAttr(const wchar_t* name, std::wstring_view def = {});
    void SetIntAttr(const wchar_t* name, int value);
    // Texts are stored without the characters XML cannot carry (xml_chars.h).
    void SetStrAttr(const wchar_t* name, std::wstring_view text);

    // Replaces the content of the named child (created when missing) or, with a
    // null name, of the current node with one text node.
    bool SetChildText(const wchar_t* name, std::wstring_view text);
    // The text content as stored: white space is never trimmed. Line breaks
    // come back as carriage return + line feed, the form the program's texts
    // use, although the parser hands them out as bare line feeds.
    std::optional<std::wstring> GetText();
    bool RemoveCurrent();

    // Writes the whole document, declared as UTF-8 whatever the file declared,
    // in place of the file as ReplaceFileContents does, so that a crash leaves
    // the old or the new file. A target that existed but could not be read is
    // first kept as "<name>.unreadable-YYYYMMDD-HHMMSS"; if that copy fails
    // nothing is written. On failure GetLastError() tells why.
    bool Save();
    // As Save, only while the file still holds what Load read (or is still
    // missing): what another writer put there meanwhile is never overwritten.
    ReplaceResult SaveIfUnchanged();
    // The copy the last Save kept of an unreadable file; empty when none.
    const std::wstring& KeptCopy() const noexcept { return m_keptCopy; }
    // What the last Load found: the hash of the bytes read, and what the file
    // held (nothing for a held file).
    std::uint64_t LoadedHash() const noexcept { return m_loaded ? m_loaded->hash : 0; }
    const std::optional<FileContents>& Loaded() const noexcept { return m_loaded; }
    // What the last successful save wrote, and its ContentHash.
    const std::string& SavedBytes() const noexcept { return m_savedBytes; }
    std::uint64_t SavedHash() const noexcept { return m_savedHash; }

    bool HasDocument() const noexcept { return static_cast<bool>(m_doc); }
    std::size_t Depth() const noexcept { return m_stack.size(); }

private:
    // Enters an element; other kinds of node are never entered.
    bool Push(const kelvo::ComPtr<IXMLDOMNode>& node);
    bool KeepUnreadableCopy();
    ReplaceResult Write(const std::optional<FileContents>& expected);
    // The declaration first, saying UTF-8: the bytes a save writes.
    bool DeclareUtf8();

    kelvo::ComPtr<IXMLDOMDocument> m_doc;
    std::vector<kelvo::ComPtr<IXMLDOMElement>> m_stack;
    std::optional<std::wstring> m_path;
    // The file at the loaded path exists but could not be read as ours.
    bool m_unreadable = false;
    std::optional<FileContents> m_loaded;
    FileState m_state = FileState::kMissing;
    DWORD m_readError = ERROR_SUCCESS;
    std::wstring m_keptCopy;
    std::string m_savedBytes;
    std::uint64_t m_savedHash = 0;
};

// Opens the file, reading it again for a moment while it is empty, held or
// damaged (ReadPatiently); falls back to a new document when it stays missing
// or unreadable. Always returns an object, whose State() tells how the file read.
std::unique_ptr<CXMLProps> OpenXmlFile(const std::wstring& path);
// The data folder + file name.
std::wstring SettingsXmlPath();
std::wstring ChunksXmlPath();
std::unique_ptr<CXMLProps> OpenSettingsXml();
std::unique_ptr<CXMLProps> OpenChunksXml();
