#pragma once
// The chunk store: every chunk of chunks.xml by ascending id, changed in memory
// and in the file together.

#include <map>

#include "library/text_chunk.h"

class CChunkStore {
public:
    using Map = std::map<int, kelvo::Ref<text_chunk>>;

    // Fills the store from chunks.xml; elements without a usable id are skipped
    // and of two elements with the same id the later one wins.
    void LoadChunks();
    // Stores a new chunk (id 0 gets the next id) or a changed one, and writes
    // it. Characters XML cannot carry are dropped from it first, in memory too.
    void PutChunk(kelvo::Ref<text_chunk> chunk);
    // Removes the chunk from file and store; an id not in the file changes nothing.
    void DeleteChunk(int id);
    // Hands out an id never handed out before and above every id in the store.
    int NextChunkId();

    const Map& Chunks() const noexcept { return m_chunks; }
    // Changes with every load, put and delete: what was worked out from the
    // chunks (their order by title) is still good while it stays the same.
    unsigned Revision() const noexcept { return m_revision; }

private:
    Map m_chunks;
    unsigned m_revision = 0;
};
