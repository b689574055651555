#include "library/chunk_store.h"

#include <algorithm>
#include <limits>

#include "base/utf16.h"
#include "library/chunk_reader.h"
#include "library/xml_chars.h"
#include "library/xml_props.h"

namespace {

void DropNonXmlChars(std::wstring& text) {
    text = kelvo::AsWide(kelvo::DropNonXmlChars(kelvo::AsU16(text)));
}

} // namespace

void CChunkStore::LoadChunks() {
    ReadChunksFile(ChunksXmlPath().c_str(), m_chunks);
    ++m_revision;
}

void CChunkStore::PutChunk(kelvo::Ref<text_chunk> chunk) {
    // The file cannot hold what XML cannot carry; the chunk in memory holds
    // what the file will, so a reload never shows something else.
    DropNonXmlChars(chunk->text);
    DropNonXmlChars(chunk->title);
    for (auto& tag : chunk->tags)
        DropNonXmlChars(tag);
    std::erase_if(chunk->tags, [](const std::wstring& tag) { return tag.empty(); });
    if (chunk->id == 0)
        chunk->id = NextChunkId();
    m_chunks[chunk->id] = chunk;
    ++m_revision;
    chunk->WriteToXml();
}

void CChunkStore::DeleteChunk(int id) {
    auto xml = OpenChunksXml();
    if (!xml->Select(L"chunks", false) || !xml->Select(ChunkPath(id).c_str(), false))
        return;
    xml->RemoveCurrent();
    xml->Save();
    m_chunks.erase(id);
    ++m_revision;
}

int CChunkStore::NextChunkId() {
    auto xml = OpenSettingsXml();
    // The counter may have been lost or not saved: never hand out a stored id.
    long long next = std::max(xml->GetIntAttr(L"next-id", 1), 1);
    if (!m_chunks.empty())
        next = std::max(next, m_chunks.rbegin()->first + 1LL);
    if (next >= std::numeric_limits<int>::max()) {
        // The counter ran out: take the lowest free id instead.
        next = 1;
        for (auto it = m_chunks.lower_bound(1); it != m_chunks.end() && it->first == next; ++it)
            ++next;
    }
    xml->SetIntAttr(L"next-id", static_cast<int>(next + 1));
    xml->Save();
    return static_cast<int>(next);
}
