// kwutil: the growable pointer array and the heap string.
// Plain C allocation throughout, so the records can be freed by anyone holding them.

#include "kwutil.h"

#include <cstdlib>  // malloc, calloc, realloc, free
#include <cstring>  // memcpy, strlen

//---- Helpers

static char* copyText(const char* text, int32_t* length)
{
    if (text == nullptr)
        text = "";
    size_t n = strlen(text);
    char* copy = (char*)malloc(n + 1);
    memcpy(copy, text, n + 1);
    *length = (int32_t)n;
    return copy;
}

//---- Array

KWArray* KWArray_Create(int32_t elementSize)
{
    KWArray* array = (KWArray*)calloc(1, sizeof(KWArray));
    array->elementSize = elementSize;
    return array;
}

void KWArray_PushElement(KWArray* array, void* element)
{
    array->items = (void**)realloc(array->items, sizeof(void*) * (size_t)(array->count + 1));
    array->items[array->count] = element;
    array->count++;
}

void* KWArray_CreateElement(KWArray* array)
{
    void* element = calloc(1, (size_t)array->elementSize);
    KWArray_PushElement(array, element);
    return element;
}

int KWArray_HasElement(KWArray* array, void* element)
{
    for (int32_t i = 0; i < array->count; i++)
        if (array->items[i] == element)
            return 1;
    return 0;
}

int KWArray_RemoveElement(KWArray* array, void* element)
{
    if (!KWArray_HasElement(array, element))
        return 0;

    // A fresh block one slot shorter (one zeroed slot when the array empties), so
    // pointers into the old block never alias the new order.
    int32_t newCount = array->count - 1;
    void** block = (void**)calloc(newCount > 0 ? (size_t)newCount : 1, sizeof(void*));
    bool removed = false;
    int32_t j = 0;
    for (int32_t i = 0; i < array->count; i++) {
        if (!removed && array->items[i] == element) {
            removed = true;
            continue;
        }
        block[j++] = array->items[i];
    }
    free(array->items);
    array->items = block;
    array->count = newCount;
    return 1;
}

void KWArray_Clear(KWArray* array)
{
    for (int32_t i = 0; i < array->count; i++)
        free(array->items[i]);
    array->count = 0;
}

//---- String

KWString* KWString_Create(const char* text)
{
    KWString* string = (KWString*)calloc(1, sizeof(KWString));
    string->text = copyText(text, &string->length);
    return string;
}

void KWString_SetText(KWString* string, const char* text)
{
    char* copy = copyText(text, &string->length);
    free(string->text);
    string->text = copy;
}

void KWString_Destroy(KWString* string)
{
    free(string->text);
    string->text = nullptr;
    string->length = 0;
}
