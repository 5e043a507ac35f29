// The late-bound IDispatch layer against a real automation class of the system:
// Scripting.Dictionary (scrrun.dll), on Windows and under Wine alike.
#include "notes/NotesError.h"
#include "com/ComDispatch.h"
#include "com/ComText.h"
#include "com/ComVariant.h"

#include <gtest/gtest.h>

#include <string>

using namespace notes::com;
using notes::NotesError;

namespace {

// The message of the NotesError that `call` throws; fails the test when it throws none.
template <typename Call>
std::string failureOf(Call &&call)
{
    try {
        call();
    } catch (const NotesError &error) {
        return error.what();
    }
    ADD_FAILURE() << "no NotesError";
    return {};
}

std::string itemText(ComDispatch &dictionary, const std::string &key)
{
    return textValue(dictionary.callWith("Item", Variant::text(key)).get(), "Item");
}

// The same COM object, whatever interface pointer stands for it.
bool sameObject(IDispatch *a, IDispatch *b)
{
    IUnknown *ua = nullptr;
    IUnknown *ub = nullptr;
    a->QueryInterface(IID_IUnknown, reinterpret_cast<void **>(&ua));
    b->QueryInterface(IID_IUnknown, reinterpret_cast<void **>(&ub));
    const bool same = ua && ua == ub;
    if (ua)
        ua->Release();
    if (ub)
        ub->Release();
    return same;
}

class DictionaryTest : public ::testing::Test
{
protected:
    void SetUp() override { dictionary = ComDispatch::create("Scripting.Dictionary"); }
    ComDispatch dictionary;
};

TEST_F(DictionaryTest, CreatedByProgIdAndCalledByName)
{
    ASSERT_TRUE(dictionary);
    dictionary.callWith("Add", Variant::text("ann"), Variant::text("Ann Carter"));
    dictionary.callWith("Add", Variant::text("count"), Variant::int32(42));
    EXPECT_EQ(int32Value(dictionary.get("Count").get(), "Count"), 2);
    EXPECT_EQ(itemText(dictionary, "ann"), "Ann Carter");
    // A number read as text by the default conversion.
    EXPECT_EQ(itemText(dictionary, "count"), "42");
    // Member names are not case-sensitive in automation.
    EXPECT_EQ(int32Value(dictionary.get("count").get(), "count"), 2);
}

TEST_F(DictionaryTest, TextCrossesAsUtf8BothWays)
{
    dictionary.callWith("Add", Variant::text("Zoë"), Variant::text("Łukasz Dvořák 日本"));
    EXPECT_EQ(itemText(dictionary, "Zoë"), "Łukasz Dvořák 日本");
    EXPECT_EQ(toUtf8(toWide("Inês", "test")), "Inês");
    EXPECT_NE(failureOf([&] { Variant::text("\xC3(", "Add key"); }).find("Add key: the text is not valid UTF-8"),
              std::string::npos);
}

TEST_F(DictionaryTest, ArrayResultsBecomeOneTextPerElement)
{
    dictionary.callWith("Add", Variant::text("a"), Variant::text("first"));
    dictionary.callWith("Add", Variant::text("b"), Variant::int32(-7));
    dictionary.callWith("Add", Variant::text("c"), Variant::text(""));
    // Items() gives a SAFEARRAY of VARIANTs, as Notes' GetItemValue does.
    const Variant items = dictionary.call("Items");
    EXPECT_EQ(items.type(), VT_ARRAY | VT_VARIANT);
    EXPECT_EQ(textValues(items.get(), "Items"), (std::vector<std::string>{"first", "-7", ""}));
    const Variant keys = dictionary.call("Keys");
    EXPECT_EQ(textValues(keys.get(), "Keys"), (std::vector<std::string>{"a", "b", "c"}));
    // A value that is not an array is one value.
    EXPECT_EQ(textValues(dictionary.callWith("Item", Variant::text("a")).get(), "Item"),
              std::vector<std::string>{"first"});
}

TEST_F(DictionaryTest, ObjectPassedByReference)
{
    ComDispatch inner = ComDispatch::create("Scripting.Dictionary");
    inner.callWith("Add", Variant::text("x"), Variant::text("y"));
    ComDispatch variable = inner; // the caller's object variable
    dictionary.callWith("Add", Variant::text("inner"), Variant::objectReference(variable.slot()));
    // The variable still holds its object after the call.
    ASSERT_TRUE(variable);
    EXPECT_TRUE(sameObject(variable.get(), inner.get()));
    // The dictionary stored the object itself, not a copy of the reference slot.
    ComDispatch stored = ComDispatch::requireObject(dictionary.callWith("Item", Variant::text("inner")), "Item");
    EXPECT_TRUE(sameObject(stored.get(), inner.get()));
    EXPECT_EQ(itemText(stored, "x"), "y");
}

TEST_F(DictionaryTest, MissingMemberNamesTheMemberAndTheHresult)
{
    const auto message = failureOf([&] { dictionary.call("GetNoSuchThing"); });
    EXPECT_NE(message.find("GetNoSuchThing"), std::string::npos) << message;
    EXPECT_NE(message.find("0x80020006"), std::string::npos) << message;
    EXPECT_NE(message.find("DISP_E_UNKNOWNNAME"), std::string::npos) << message;
}

TEST_F(DictionaryTest, FailingCallNamesTheMemberAndTheHresult)
{
    dictionary.callWith("Add", Variant::text("ann"), Variant::text("1"));
    // A key that is there already: the dictionary raises its error 457.
    const auto message = failureOf([&] { dictionary.callWith("Add", Variant::text("ann"), Variant::text("2")); });
    EXPECT_TRUE(message.starts_with("Add: ")) << message;
    EXPECT_NE(message.find("0x800A01C9"), std::string::npos) << message;
    // Too few arguments.
    const auto count = failureOf([&] { dictionary.callWith("Add", Variant::text("bob")); });
    EXPECT_TRUE(count.starts_with("Add: ")) << count;
    EXPECT_NE(count.find("0x8002000E"), std::string::npos) << count;
    // A call on no object at all.
    ComDispatch none;
    EXPECT_NE(failureOf([&] { none.call("Count"); }).find("Count: there is no object"), std::string::npos);
}

TEST(ComCreate, UnregisteredProgIdNamesTheClass)
{
    const auto message = failureOf([] { ComDispatch::create("Tarnwick.NoSuchClass"); });
    EXPECT_NE(message.find("Tarnwick.NoSuchClass"), std::string::npos) << message;
    EXPECT_NE(message.find("0x800401F3"), std::string::npos) << message; // CO_E_CLASSSTRING
}

TEST(ComCreate, InitialisingTwiceIsHarmless)
{
    ensureComInitialised();
    ensureComInitialised();
    EXPECT_TRUE(ComDispatch::create("Scripting.Dictionary"));
}

// Arrays other than of VARIANTs, and values the default conversion turns into text.
class OwnedArray
{
public:
    OwnedArray(VARTYPE type, ULONG size)
        : m_array(SafeArrayCreateVector(type, 0, size))
    {
    }
    ~OwnedArray() { SafeArrayDestroy(m_array); }
    OwnedArray(const OwnedArray &) = delete;
    OwnedArray &operator=(const OwnedArray &) = delete;
    SAFEARRAY *get() const { return m_array; }

private:
    SAFEARRAY *m_array;
};

TEST(ComValues, ArraysOfPlainElements)
{
    OwnedArray numbers(VT_I4, 3);
    for (LONG i = 0; i < 3; ++i) {
        LONG value = (i + 1) * 10;
        ASSERT_EQ(SafeArrayPutElement(numbers.get(), &i, &value), S_OK);
    }
    VARIANT view;
    VariantInit(&view);
    view.vt = VT_ARRAY | VT_I4;
    view.parray = numbers.get(); // not owned: OwnedArray destroys it
    EXPECT_EQ(textValues(view, "numbers"), (std::vector<std::string>{"10", "20", "30"}));

    OwnedArray texts(VT_BSTR, 2);
    for (LONG i = 0; i < 2; ++i) {
        Bstr text(i == 0 ? "Ann" : "Łukasz", "test");
        ASSERT_EQ(SafeArrayPutElement(texts.get(), &i, text.get()), S_OK); // copies
    }
    view.vt = VT_ARRAY | VT_BSTR;
    view.parray = texts.get();
    EXPECT_EQ(textValues(view, "texts"), (std::vector<std::string>{"Ann", "Łukasz"}));

    OwnedArray empty(VT_VARIANT, 0);
    view.vt = VT_ARRAY | VT_VARIANT;
    view.parray = empty.get();
    EXPECT_TRUE(textValues(view, "empty").empty());
}

TEST(ComValues, ScalarsAndWhatCannotBeText)
{
    VARIANT value;
    VariantInit(&value);
    EXPECT_EQ(textValue(value, "empty"), "");
    value.vt = VT_R8;
    value.dblVal = 30;
    EXPECT_EQ(textValue(value, "number"), "30");
    value.vt = VT_NULL;
    const auto message = failureOf([&] { textValue(value, "GetItemValue(\"Age\")"); });
    EXPECT_NE(message.find("GetItemValue(\"Age\")"), std::string::npos) << message;
    EXPECT_NE(message.find("VT_NULL"), std::string::npos) << message;

    SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
    SAFEARRAY *square = SafeArrayCreate(VT_VARIANT, 2, bounds);
    Variant owned; // destroys the array
    owned.get().vt = VT_ARRAY | VT_VARIANT;
    owned.get().parray = square;
    EXPECT_NE(failureOf([&] { textValues(owned.get(), "square"); }).find("2 dimensions"), std::string::npos);
}

} // namespace
