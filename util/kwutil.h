// kwutil: the growable pointer array and the heap string behind every engine list.
// The executable exports these nine operations by name, so they keep C linkage.
#pragma once

#include <cstdint>  // int32_t

struct KWArray {
    int32_t count;        // number of elements
    int32_t elementSize;  // bytes that KWArray_CreateElement allocates
    void** items;         // count pointers; null until the first push
};

struct KWString {
    char* text;      // heap copy, NUL-terminated
    int32_t length;  // characters, without the NUL
};

extern "C" {

// A new empty array whose created elements are elementSize bytes. Never freed.
KWArray* KWArray_Create(int32_t elementSize);

// Appends the pointer; the slot block grows by exactly one slot.
void KWArray_PushElement(KWArray* array, void* element);

// Allocates a zero-filled element of elementSize bytes, appends it and returns it.
void* KWArray_CreateElement(KWArray* array);

// 1 if some slot holds exactly this pointer (identity, not content).
int KWArray_HasElement(KWArray* array, void* element);

// Removes the first occurrence of the pointer, keeping the order of the rest; 0 if absent.
// The element itself is not freed.
int KWArray_RemoveElement(KWArray* array, void* element);

// Frees every element and empties the array; only for arrays that own their elements.
void KWArray_Clear(KWArray* array);

// A heap copy of text; null gives the empty string.
KWString* KWString_Create(const char* text);

// Replaces the copy with a copy of text (null stores the empty string).
void KWString_SetText(KWString* string, const char* text);

// Frees the text copy; the record itself stays with its owner.
void KWString_Destroy(KWString* string);
}
