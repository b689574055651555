#include "library/chunk_store.h"

#include <algorithm>
#include <limits>

#include "base/utf16.h"
#include "library/chunk_reader.h"
#include "library/xml_chars.h"
#include "library/xml_props.h"

using kelvo::ComPtr;
using kelvo::Ref;

namespace {

constexpr std::wstring_view kConflictMark = L" (conflict)";

void DropNonXmlChars(std::wstring& text) {
    text = kelvo::AsWide(kelvo::DropNonXmlChars(kelvo::AsU16(text)));
}

} // namespace

// The chunk elements of the file by id, found as the loader finds them (of two
// with the same id, the later one).
class CChunkStore::CFileIndex {
public:
    // Walks the elements; the document is left inside "chunks", which is
    // added when missing.
    explicit CFileIndex(CXMLProps& xml) {
        if (!xml.Select(L"chunks", true) || !xml.Select(L"chunk", false))
            return;
        do {
            if (const int id = xml.GetIntAttr(L"id", 0))
                m_elements[id] = xml.Current();
        } while (xml.Next());
        xml.Up();
    }
    CFileIndex() = default;

    ComPtr<IXMLDOMElement> Find(int id) const {
        auto found = m_elements.find(id);
        return found == m_elements.end() ? nullptr : found->second;
    }
    bool Holds(int id) const { return m_elements.contains(id); }
    void Add(int id, ComPtr<IXMLDOMElement> element) { m_elements[id] = std::move(element); }
    void Remove(int id) { m_elements.erase(id); }
    const std::map<int, ComPtr<IXMLDOMElement>>& Elements() const noexcept { return m_elements; }

private:
    std::map<int, ComPtr<IXMLDOMElement>> m_elements;
};

void CChunkStore::LoadChunks() {
    m_chunks.clear();
    m_base.clear();
    m_unsaved.clear();
    m_password.reset();
    const std::wstring path = ChunksXmlPath();
    DWORD error = ERROR_SUCCESS;
    const FileState state = ReadPatiently([&] {
        const FileState attempt = ReadChunksFile(path.c_str(), m_chunks, m_password);
        error = ::GetLastError();
        return attempt;
    });
    for (const auto& [id, chunk] : m_chunks)
        m_base[id] = chunk->Fingerprint();
    if (state != FileState::kRead && state != FileState::kMissing)
        TellUnreadable(state, error);
    HandOverNotices();
}

void CChunkStore::PutChunk(Ref<text_chunk> chunk) {
    // The file cannot hold what XML cannot carry; the chunk in memory holds
    // what the file will, so a reload never shows something else.
    DropNonXmlChars(chunk->text);
    DropNonXmlChars(chunk->title);
    for (auto& tag : chunk->tags)
        DropNonXmlChars(tag);
    std::erase_if(chunk->tags, [](const std::wstring& tag) { return tag.empty(); });
    if (chunk->id == 0) {
        Write(chunk, 0);
    } else {
        m_chunks[chunk->id] = chunk;
        m_unsaved.insert(chunk->id);
        Write({}, 0);
    }
}

void CChunkStore::DeleteChunk(int id) {
    Write({}, id);
}

void CChunkStore::SaveUnsaved() {
    if (!m_unsaved.empty())
        Write({}, 0);
}

void CChunkStore::Write(const Ref<text_chunk>& added, int delete_id) {
    // A chunk that goes is not written first.
    if (delete_id != 0)
        m_unsaved.erase(delete_id);
    auto xml = OpenChunksXml();
    const FileState state = xml->State();
    if (state == FileState::kHeld || xml->Depth() == 0) {
        // Neither read nor kept, so never replaced: the changes wait.
        if (added) {
            added->id = NextChunkId({});
            m_chunks[added->id] = added;
            m_unsaved.insert(added->id);
        }
        if (state == FileState::kHeld || state == FileState::kForeign)
            TellUnreadable(state, xml->ReadError());
        else
            TellNotSaved(ERROR_INVALID_DATA); // no XML layer
        HandOverNotices();
        return;
    }

    bool changed = true;
    bool remove = delete_id != 0;
    std::vector<int> written; // chunks the file will hold as they are in memory
    if (state == FileState::kRead) {
        m_toldUnreadable = false;
        m_password = xml->Select(L"password", false) ? xml->GetText() : std::nullopt;
        if (m_password)
            xml->Up();
        CFileIndex index(*xml);
        changed = Merge(*xml, index, added, delete_id, remove, written);
    } else {
        // Empty, damaged or gone: nothing of it can be kept but a copy of what
        // it held, so the save holds the whole library in memory.
        if (added) {
            added->id = NextChunkId({});
            m_chunks[added->id] = added;
            m_unsaved.insert(added->id);
        }
        auto kept = m_chunks.extract(delete_id);
        Rebuild(*xml);
        if (kept)
            m_chunks.insert(std::move(kept));
        for (const auto& [id, chunk] : m_chunks)
            if (id != delete_id)
                written.push_back(id);
    }

    if (changed) {
        ::SetLastError(ERROR_SUCCESS);
        if (!xml->Save()) {
            const DWORD error = ::GetLastError();
            TellNotSaved(error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT);
            HandOverNotices();
            return;
        }
        m_toldNotSaved = false;
        m_unsaved.clear();
        for (int id : written)
            m_base[id] = m_chunks.at(id)->Fingerprint();
        if (state == FileState::kEmpty || state == FileState::kDamaged)
            TellUnreadable(state, ERROR_SUCCESS, xml->KeptCopy());
    }
    if (remove) {
        m_chunks.erase(delete_id);
        m_base.erase(delete_id);
    }
    HandOverNotices();
}

bool CChunkStore::Merge(CXMLProps& xml, CFileIndex& index, const Ref<text_chunk>& added,
                        int delete_id, bool& removed, std::vector<int>& written) {
    bool changed = false;
    // Not in the file (any more): it only leaves the store.
    removed = delete_id != 0;
    if (delete_id != 0 && index.Holds(delete_id)) {
        auto base = m_base.find(delete_id);
        Ref<text_chunk> disk = TakeFromFile(xml, index, delete_id);
        if (base != m_base.end() && disk->Fingerprint() == base->second) {
            xml.Enter(index.Find(delete_id));
            xml.RemoveCurrent();
            index.Remove(delete_id);
            changed = true;
        } else {
            // Changed elsewhere, or another's chunk under an id ours never had
            // in the file: the file's version stays, and is shown.
            if (base != m_base.end())
                m_notices.push_back({.kind = StoreNotice::Kind::kNotDeleted,
                                     .id = delete_id,
                                     .title = disk->title});
            m_base[delete_id] = disk->Fingerprint();
            m_chunks[delete_id] = std::move(disk);
            removed = false;
        }
    }
    for (int id : std::vector<int>(m_unsaved.begin(), m_unsaved.end())) {
        auto chunk = m_chunks.find(id);
        if (chunk != m_chunks.end()) {
            PutOne(xml, index, chunk->second);
            written.push_back(chunk->second->id);
            changed = true;
        }
    }
    if (added) {
        added->id = NextChunkId(index);
        m_chunks[added->id] = added;
        m_unsaved.insert(added->id);
        Append(xml, index, *added);
        written.push_back(added->id);
        changed = true;
    }
    return changed;
}

void CChunkStore::PutOne(CXMLProps& xml, CFileIndex& index, Ref<text_chunk> chunk) {
    const int id = chunk->id;
    if (!index.Holds(id)) {
        // New to the file, or deleted there since: an edit outweighs a deletion.
        Append(xml, index, *chunk);
        return;
    }
    auto base = m_base.find(id);
    Ref<text_chunk> disk = TakeFromFile(xml, index, id);
    const std::uint64_t on_disk = disk->Fingerprint();
    // The file holds the version ours was made from, or ours already.
    if ((base != m_base.end() && on_disk == base->second) || on_disk == chunk->Fingerprint()) {
        xml.Enter(index.Find(id));
        chunk->WriteToXml(xml);
        xml.Up();
        return;
    }
    // The file's chunk of this id is not the one ours was made from (changed
    // elsewhere, or another's new chunk under an id ours never had in the
    // file): it stays, and ours becomes a chunk of its own.
    m_chunks[id] = disk;
    m_base[id] = on_disk;
    m_unsaved.erase(id);
    if (base != m_base.end() && !chunk->title.ends_with(kConflictMark))
        chunk->title += kConflictMark;
    chunk->id = NextChunkId(index);
    m_chunks[chunk->id] = chunk;
    m_unsaved.insert(chunk->id);
    Append(xml, index, *chunk);
    if (base != m_base.end())
        m_notices.push_back({.kind = StoreNotice::Kind::kConflict,
                             .id = id,
                             .conflict_id = chunk->id,
                             .title = disk->title});
}

void CChunkStore::Append(CXMLProps& xml, CFileIndex& index, const text_chunk& chunk) {
    if (!xml.AddChild(L"chunk"))
        return;
    chunk.WriteToXml(xml);
    index.Add(chunk.id, xml.Current());
    xml.Up();
}

Ref<text_chunk> CChunkStore::TakeFromFile(CXMLProps& xml, const CFileIndex& index, int id) {
    auto chunk = kelvo::MakeRef<text_chunk>();
    if (xml.Enter(index.Find(id))) {
        chunk->ReadFromXml(xml);
        xml.Up();
    }
    chunk->id = id;
    return chunk;
}

void CChunkStore::Rebuild(CXMLProps& xml) {
    if (xml.Select(L"chunks", true)) {
        for (const auto& [id, chunk] : m_chunks) {
            if (!xml.AddChild(L"chunk"))
                break;
            chunk->WriteToXml(xml);
            xml.Up();
        }
        xml.Up();
    }
    if (m_password)
        xml.SetChildText(L"password", *m_password);
}

int CChunkStore::NextChunkId(const CFileIndex& index) {
    auto xml = OpenSettingsXml();
    // The counter may have been lost, not saved, or be behind another writer's.
    long long next = std::max(xml->GetIntAttr(L"next-id", 1), 1);
    if (!m_chunks.empty())
        next = std::max(next, m_chunks.rbegin()->first + 1LL);
    if (!index.Elements().empty())
        next = std::max(next, index.Elements().rbegin()->first + 1LL);
    if (next >= std::numeric_limits<int>::max()) {
        // The counter ran out: take the lowest id free in the store and the file.
        next = 1;
        while (m_chunks.contains(static_cast<int>(next)) || index.Holds(static_cast<int>(next)))
            ++next;
    }
    xml->SetIntAttr(L"next-id", static_cast<int>(next + 1));
    xml->Save();
    return static_cast<int>(next);
}

void CChunkStore::TellUnreadable(FileState state, DWORD error, std::wstring kept_copy) {
    if (std::exchange(m_toldUnreadable, true))
        return;
    m_notices.push_back({.kind = StoreNotice::Kind::kUnreadable,
                         .state = state,
                         .error = error,
                         .kept_copy = std::move(kept_copy)});
}

void CChunkStore::TellNotSaved(DWORD error) {
    if (!std::exchange(m_toldNotSaved, true))
        m_notices.push_back({.kind = StoreNotice::Kind::kNotSaved, .error = error});
}

void CChunkStore::HandOverNotices() {
    // Handed over once the store is consistent: the handler may show a
    // message box, whose message loop may reach the store again.
    auto notices = std::move(m_notices);
    m_notices.clear();
    if (m_notify)
        for (const auto& notice : notices)
            m_notify(notice);
}
