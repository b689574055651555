#include "library/chunk_store.h"

#include <algorithm>
#include <limits>

#include "library/xml_props.h"

void CChunkStore::LoadChunks() {
    auto xml = OpenChunksXml();
    if (!xml->Select(L"chunks", false) || !xml->Select(L"chunk", false))
        return;
    do {
        auto chunk = kelvo::make_ref<text_chunk>();
        chunk->ReadFromXml(*xml);
        if (int id = chunk->id; id != 0)
            m_chunks[id] = std::move(chunk);
    } while (xml->Next());
}

void CChunkStore::PutChunk(kelvo::ref<text_chunk> chunk) {
    if (chunk->id == 0)
        chunk->id = NextChunkId();
    m_chunks[chunk->id] = chunk;
    chunk->WriteToXml();
}

void CChunkStore::DeleteChunk(int id) {
    auto xml = OpenChunksXml();
    if (!xml->Select(L"chunks", false) || !xml->Select(ChunkPath(id).c_str(), false))
        return;
    xml->RemoveCurrent();
    xml->Save();
    m_chunks.erase(id);
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
