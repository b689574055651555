#pragma once
// Start with Windows: the value "Kelvo" under the current user's Run key.

// True when a value "Kelvo" exists, whatever its data.
bool IsAutostartOn();
// Writes or deletes the value; the key itself is never created. Silent on failure.
void SetAutostart(bool on);
