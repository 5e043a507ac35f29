// The late-bound IDispatch layer against a real automation class of the system,
// Scripting.Dictionary (scrrun.dll), the conversion of the values Notes gives to text, and
// the thread's message filter as COM consults it. (The Notes classes themselves are
// tested against the stand-in Notes server, out of process: see wine-test.sh.)
#include "com/ComDispatch.h"
#include "com/ComMessageFilter.h"
#include "com/ComVariant.h"
#include "notes/NotesError.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>

using namespace notes::com;

namespace {

// A value of `type` that holds no pointer: VT_NULL, or a VT_R8 (Notes' numbers) of `number`.
Variant scalar(VARTYPE type, double number = 0)
{
    Variant value;
    value.get().vt = type;
    value.get().dblVal = number;
    return value;
}

// A one-dimensional array of `type` from index `lower`, of the texts (numbers for VT_I4).
Variant arrayOf(VARTYPE type, LONG lower, const std::vector<std::string> &items)
{
    Variant array;
    array.get().vt = static_cast<VARTYPE>(VT_ARRAY | type);
    array.get().parray = SafeArrayCreateVector(type, lower, static_cast<ULONG>(items.size()));
    for (LONG i = lower; const auto &item : items) {
        Variant text = Variant::text(item);
        LONG number = std::stoi("0" + item);
        void *element = type == VT_VARIANT ? &text.get() : type == VT_BSTR ? static_cast<void *>(text.get().bstrVal) : &number;
        EXPECT_EQ(SafeArrayPutElement(array.get().parray, &i, element), S_OK); // copies
        ++i;
    }
    return array;
}

// A real automation class called by name, with texts in UTF-8 and an object by reference;
// then called wrongly, each failure naming the member and the HRESULT; then the values
// Notes gives turned into text.
TEST(ComDispatchTest, DictionaryCalledByNameInUtf8AndByReferenceItsFailuresNamedValuesAsText)
{
    ComDispatch dictionary = ComDispatch::create("Scripting.Dictionary");
    dictionary.callWith("Add", Variant::text("ann"), Variant::text("Ann Carter"));
    dictionary.callWith("Add", Variant::text("count"), Variant::int32(-7));
    dictionary.callWith("Add", Variant::text("Zoë"), Variant::text("Łukasz Dvořák 日本"));
    EXPECT_EQ(int32Value(dictionary.get("Count").get(), "Count"), 3);
    // Items() gives a SAFEARRAY of VARIANTs, as Notes' GetItemValue does.
    EXPECT_EQ(textValues(dictionary.call("Items").get(), "Items"),
              (std::vector<std::string>{"Ann Carter", "-7", "Łukasz Dvořák 日本"}));

    // An object passed by reference, as Visual Basic passes an object variable.
    ComDispatch inner = ComDispatch::create("Scripting.Dictionary");
    inner.callWith("Add", Variant::text("x"), Variant::text("y"));
    ComDispatch variable = inner; // the caller's object variable
    dictionary.callWith("Add", Variant::text("inner"), Variant::objectReference(variable.slot()));
    // The variable still holds its object, and the dictionary the object itself, not a
    // copy of the reference slot.
    EXPECT_EQ(variable.get(), inner.get());
    ComDispatch stored = ComDispatch::requireObject(dictionary.callWith("Item", Variant::text("inner")), "Item");
    EXPECT_EQ(textValue(stored.callWith("Item", Variant::text("x")).get(), "Item"), "y");

    SAFEARRAYBOUND square[2] = {{2, 0}, {2, 0}};
    // Each message starts with its first text and holds the others.
    const std::pair<std::function<void()>, std::vector<std::string>> cases[] = {
        {[&] { dictionary.call("GetNoSuchThing"); }, {"GetNoSuchThing: ", "0x80020006", "DISP_E_UNKNOWNNAME"}},
        // A key that is there already: the dictionary raises its error 457.
        {[&] { dictionary.callWith("Add", Variant::text("ann"), Variant::text("2")); }, {"Add: ", "0x800A01C9"}},
        {[&] { dictionary.callWith("Add", Variant::text("bob")); }, {"Add: ", "0x8002000E"}},
        {[] { ComDispatch().call("Count"); }, {"Count: there is no object"}},
        // No class of the name: no object, and why not.
        {[] {
             std::string whyNot;
             if (!ComDispatch::create("Tarnwick.NoSuchClass", &whyNot))
                 throw notes::NotesError(whyNot);
         },
         {"Tarnwick.NoSuchClass: ", "0x800401F3"}},
        {[] { Variant::text("\xC3(", "Add key"); }, {"Add key: the text is not valid UTF-8"}},
        {[] { textValue(scalar(VT_NULL).get(), "GetItemValue(\"Age\")"); }, {"GetItemValue(\"Age\"): ", "VT_NULL"}},
        {[&] {
             Variant owned;
             owned.get().vt = VT_ARRAY | VT_VARIANT;
             owned.get().parray = SafeArrayCreate(VT_VARIANT, 2, square);
             textValues(owned.get(), "square");
         },
         {"square: ", "2 dimensions"}},
    };
    for (const auto &[call, texts] : cases) {
        std::string message = "no NotesError";
        try {
            call();
        } catch (const notes::NotesError &error) {
            message = error.what();
        }
        EXPECT_TRUE(message.starts_with(texts[0])) << message;
        for (const auto &text : texts)
            EXPECT_NE(message.find(text), std::string::npos) << message;
    }

    // The values Notes gives, each element of an array (from either lower bound) one text.
    const std::pair<std::function<Variant()>, std::vector<std::string>> values[] = {
        {[] { return scalar(VT_R8, 30); }, {"30"}},
        {[] { return arrayOf(VT_I4, 0, {"10", "20", "30"}); }, {"10", "20", "30"}},
        {[] { return arrayOf(VT_I4, 1, {"10", "20"}); }, {"10", "20"}},
        {[] { return arrayOf(VT_BSTR, 0, {"Ann", "Łukasz"}); }, {"Ann", "Łukasz"}},
        {[] { return arrayOf(VT_VARIANT, 1, {"a", ""}); }, {"a", ""}},
    };
    for (const auto &[make, texts] : values)
        EXPECT_EQ(textValues(make().get(), "value"), texts);
}

// A Notes client busy with its user (a password prompt) refuses calls; COM asks the
// thread's filter whether to try again.
TEST(ComDispatchTest, MessageFilterRetriesARefusedCallForAWhile)
{
    ensureComInitialised();
    IMessageFilter *installed = nullptr;
    ASSERT_EQ(CoRegisterMessageFilter(nullptr, &installed), S_OK);
    ASSERT_NE(installed, nullptr);
    CoRegisterMessageFilter(installed, nullptr); // put back
    const DWORD patience = static_cast<DWORD>(BusyServerPatience.count());
    const DWORD cancel = static_cast<DWORD>(-1);
    for (const auto &[elapsed, rejection, retry] : {std::tuple{0ul, SERVERCALL_RETRYLATER, true},
                                                    std::tuple{patience - 1, SERVERCALL_RETRYLATER, true},
                                                    std::tuple{patience, SERVERCALL_RETRYLATER, false},
                                                    std::tuple{0ul, SERVERCALL_REJECTED, false}}) {
        const DWORD answer = installed->RetryRejectedCall(nullptr, elapsed, static_cast<DWORD>(rejection));
        // 100 or more: COM waits that long and calls again; below 100 it would spin.
        EXPECT_TRUE(retry ? answer >= 100 && answer <= 1000 : answer == cancel) << elapsed << " " << answer;
    }
    // While a call waits, the windows repaint and the user's input waits.
    EXPECT_EQ(installed->MessagePending(nullptr, 0, PENDINGTYPE_TOPLEVEL), static_cast<DWORD>(PENDINGMSG_WAITDEFPROCESS));
    installed->Release();
}

} // namespace
