// Scope guards for what MAPI hands out inside a function body: an interface
// reference (released), a buffer from MAPIAllocateBuffer or a GetProps call
// (freed with MAPIFreeBuffer) and a row set (freed with FreeProws). Each
// frees on scope exit, so an early return cannot leak.
#pragma once

#include "mapi/MapiPlatform.h"

// Releases the reference an object keeps in one of its fields, if any, and
// empties the field, so that a second close finds nothing to release.
template <typename Interface>
void ReleaseField(Interface*& held) {
    if (held) {
        held->Release();
        held = nullptr;
    }
}

// Holds one reference to an interface and releases it on scope exit.
template <typename Interface>
class InterfaceHolder {
public:
    InterfaceHolder() = default;
    explicit InterfaceHolder(Interface* held) : held_(held) {}
    ~InterfaceHolder() { Reset(); }
    InterfaceHolder(const InterfaceHolder&) = delete;
    InterfaceHolder& operator=(const InterfaceHolder&) = delete;

    Interface* Get() const { return held_; }
    Interface* operator->() const { return held_; }
    explicit operator bool() const { return held_ != nullptr; }

    // The place a MAPI call writes a new reference to; any reference held
    // so far is released first.
    Interface** Out() {
        Reset();
        return &held_;
    }
    // Same, typed for calls that hand back an IUnknown (OpenEntry).
    LPUNKNOWN* OutUnknown() { return reinterpret_cast<LPUNKNOWN*>(Out()); }

    // Gives the reference to the caller, who then releases it.
    Interface* Detach() {
        Interface* held = held_;
        held_ = nullptr;
        return held;
    }
    void Reset() {
        if (held_) {
            held_->Release();
            held_ = nullptr;
        }
    }

private:
    Interface* held_ = nullptr;
};

// Holds one MAPI buffer and frees it with MAPIFreeBuffer on scope exit.
template <typename Block>
class MapiBuffer {
public:
    MapiBuffer() = default;
    explicit MapiBuffer(Block* held) : held_(held) {}
    ~MapiBuffer() { Reset(); }
    MapiBuffer(const MapiBuffer&) = delete;
    MapiBuffer& operator=(const MapiBuffer&) = delete;

    Block* Get() const { return held_; }
    Block* operator->() const { return held_; }
    explicit operator bool() const { return held_ != nullptr; }

    Block** Out() {
        Reset();
        return &held_;
    }
    // For MAPIAllocateBuffer, which writes an untyped pointer.
    LPVOID* OutVoid() { return reinterpret_cast<LPVOID*>(Out()); }

    Block* Detach() {
        Block* held = held_;
        held_ = nullptr;
        return held;
    }
    void Reset() {
        if (held_) {
            MAPIFreeBuffer(held_);
            held_ = nullptr;
        }
    }

private:
    Block* held_ = nullptr;
};

// Holds a row set from IMAPITable::QueryRows and frees it with FreeProws,
// which frees each row's value array and the set itself.
class RowSetHolder {
public:
    RowSetHolder() = default;
    ~RowSetHolder() { Reset(); }
    RowSetHolder(const RowSetHolder&) = delete;
    RowSetHolder& operator=(const RowSetHolder&) = delete;

    LPSRowSet Get() const { return held_; }
    LPSRowSet operator->() const { return held_; }

    LPSRowSet* Out() {
        Reset();
        return &held_;
    }
    void Reset() {
        if (held_) {
            FreeProws(held_);
            held_ = nullptr;
        }
    }

private:
    LPSRowSet held_ = nullptr;
};
