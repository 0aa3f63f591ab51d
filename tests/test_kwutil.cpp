// Tests of the growable pointer array and the heap string.

#include "kwutil.h"

#include <gtest/gtest.h>
#include <cstdlib>  // malloc

TEST(KWArray, KeepsInsertionOrderAndDuplicates)
{
    KWArray* array = KWArray_Create(8);
    int a = 1, b = 2;
    KWArray_PushElement(array, &a);
    KWArray_PushElement(array, &b);
    KWArray_PushElement(array, &a);
    ASSERT_EQ(array->count, 3);
    EXPECT_EQ(array->items[0], &a);
    EXPECT_EQ(array->items[1], &b);
    EXPECT_EQ(array->items[2], &a);

    // Removal takes the first of the two copies only; the second keeps its place after b.
    EXPECT_EQ(KWArray_RemoveElement(array, &a), 1);
    ASSERT_EQ(array->count, 2);
    EXPECT_EQ(array->items[0], &b);
    EXPECT_EQ(array->items[1], &a);
    EXPECT_EQ(KWArray_HasElement(array, &a), 1);

    int absent = 3;
    EXPECT_EQ(KWArray_RemoveElement(array, &absent), 0);
    EXPECT_EQ(array->count, 2);
    free(array->items);
    free(array);
}

TEST(KWArray, HasElementComparesIdentityNotContent)
{
    KWArray* array = KWArray_Create(4);
    int a = 7, sameValue = 7;
    KWArray_PushElement(array, &a);
    EXPECT_EQ(KWArray_HasElement(array, &a), 1);
    EXPECT_EQ(KWArray_HasElement(array, &sameValue), 0);
    free(array->items);
    free(array);
}

TEST(KWArray, RemovingTheOnlyElementLeavesAUsableArray)
{
    KWArray* array = KWArray_Create(4);
    int a = 1, b = 2;
    KWArray_PushElement(array, &a);
    EXPECT_EQ(KWArray_RemoveElement(array, &a), 1);
    EXPECT_EQ(array->count, 0);
    ASSERT_NE(array->items, nullptr);
    KWArray_PushElement(array, &b);
    ASSERT_EQ(array->count, 1);
    EXPECT_EQ(array->items[0], &b);
    free(array->items);
    free(array);
}

TEST(KWArray, CreatedElementsAreZeroedAndClearFreesThem)
{
    KWArray* array = KWArray_Create(32);
    unsigned char* first = (unsigned char*)KWArray_CreateElement(array);
    unsigned char* second = (unsigned char*)KWArray_CreateElement(array);
    for (int i = 0; i < 32; i++)
        ASSERT_EQ(first[i] | second[i], 0) << "byte " << i;
    EXPECT_EQ(array->count, 2);
    EXPECT_EQ(array->items[1], second);

    // Clear frees the elements (the sanitizer build reports a leak or a double free otherwise)
    // and the array takes new elements afterwards.
    KWArray_Clear(array);
    EXPECT_EQ(array->count, 0);
    KWArray_CreateElement(array);
    EXPECT_EQ(array->count, 1);
    KWArray_Clear(array);
    free(array->items);
    free(array);
}

TEST(KWString, CopiesTextAndHandlesEmpty)
{
    KWString* fromNull = KWString_Create(nullptr);
    KWString* fromEmpty = KWString_Create("");
    EXPECT_EQ(fromNull->length, 0);
    EXPECT_STREQ(fromNull->text, "");
    EXPECT_EQ(fromEmpty->length, 0);
    EXPECT_STREQ(fromEmpty->text, "");

    char source[] = "data/owl.png";
    KWString* copy = KWString_Create(source);
    source[0] = 'X';
    EXPECT_STREQ(copy->text, "data/owl.png");
    EXPECT_EQ(copy->length, 12);

    KWString_SetText(copy, "pigeon");
    EXPECT_STREQ(copy->text, "pigeon");
    EXPECT_EQ(copy->length, 6);
    // Setting a string to its own text must not read freed memory.
    KWString_SetText(copy, copy->text);
    EXPECT_STREQ(copy->text, "pigeon");

    KWString* strings[] = {fromNull, fromEmpty, copy};
    for (KWString* s : strings) {
        KWString_Destroy(s);
        free(s);
    }
}
