// The resource enumerator against the project's fixture modules and modules that ship with Wine.
#include <gtest/gtest.h>

#include <windows.h>

#include <thread>

#include "AppInfo.h"
#include "ErrRecord.h"
#include "PellamyTestKit.h"
#include "TestEnv.h"
#include "cResources.h"
#include "mResource.h"

using kit::Fixture;
using pellamy::ResValue;

namespace {

std::wstring Show(const ResValue& v) {
    return std::holds_alternative<int32_t>(v) ? std::to_wstring(std::get<int32_t>(v)) : L"'" + std::get<std::wstring>(v) + L"'";
}

// "type: name name ..." per type, in enumeration order.
std::vector<std::wstring> Listing(cResources& r) {
    std::vector<std::wstring> out;
    r.GetResourceTypes();
    for (int32_t t = 1; t <= r.ResourceTypeCount(); ++t) {
        r.GetResourceNames(t);
        std::wstring line = Show(r.ResourceType(t)) + L":";
        for (int32_t n = 1; n <= r.ResourceNameCount(t); ++n) line += L" " + Show(r.ResourceName(t, n));
        out.push_back(line);
    }
    return out;
}

bool Mapped(HMODULE h) {
    MEMORY_BASIC_INFORMATION mbi{};
    VirtualQuery(reinterpret_cast<void*>(reinterpret_cast<ULONG_PTR>(h) & ~static_cast<ULONG_PTR>(3)), &mbi,
                 sizeof(mbi));
    return mbi.State != MEM_FREE;
}

VbError Caught(const std::function<void()>& f) {
    try {
        f();
    } catch (const VbError& e) {
        return e;
    }
    ADD_FAILURE() << "no error raised";
    return VbError(0, L"", L"");
}

// The order of the listing (wrestool_check.sh compares its content); modules are released and lists kept.
TEST(PellamyResources, NumberedAndNamedTypesAndNamesOfTheFixture) {
    cResources r;
    r.file(Fixture(L"fx_resources.dll"));
    // Named types first, then numbered ones in ascending order; windres upper-cases names.
    const std::vector<std::wstring> expected = {
        L"'MYDATA': 'FIRST' 7", L"3: 1 2 3 4 5", L"6: 1 2", L"10: 'CONFIG' 5", L"14: 1", L"16: 1", L"300: 1",
    };
    EXPECT_EQ(Listing(r), expected);
    const int32_t slots = r.Lists().SlotCount();  // names again for a type: the same slot, not a doubled list
    r.GetResourceNames(4);
    EXPECT_EQ(r.ResourceNameCount(4), 2);
    EXPECT_EQ(r.Lists().SlotCount(), slots);
    HMODULE old = r.hModule();
    r.UnloadModule();
    EXPECT_FALSE(Mapped(old));
    EXPECT_EQ(r.ResourceTypeCount(), 7);
    r.file(Fixture(L"fx_register.dll"));  // a new file replaces everything
    EXPECT_EQ(Listing(r), std::vector<std::wstring>{L"16: 1"});
    HMODULE h = r.hModule();
    r.ClearUp();
    EXPECT_FALSE(Mapped(h));
}

TEST(PellamyResources, FailuresRaiseTheirNumbersSourcesAndSystemTexts) {
    const std::wstring exe = ExeName();
    testenv::TempDir dir;
    cResources r;
    const struct {
        std::function<void()> act;
        int32_t number;
        std::wstring source;
        DWORD code;
    } cases[] = {
        {[&] { r.file(dir / L"missing.ocx"); }, -2147220455, exe + L".cResources", ERROR_FILE_NOT_FOUND},
        {[&] { r.file(Fixture(L"notadll.dll")); }, -2147220455, exe + L".cResources", ERROR_BAD_EXE_FORMAT},
        // A module without resources: it loads, the type listing fails.
        {[&] { r.file(Fixture(L"fx_noentry.dll")), r.GetResourceTypes(); }, -2147220455, exe + L".cResource",
         ERROR_RESOURCE_DATA_NOT_FOUND},
        // A name listing that fails: a type the module does not have.
        {[&] {
             r.file(Fixture(L"fx_resources.dll")), r.GetResourceTypes(), r.AddResourceType(999, L"");
             r.GetResourceNames(r.ResourceTypeCount());
         },
         -2147220454, exe + L".cResource", ERROR_RESOURCE_TYPE_NOT_FOUND},
    };
    for (const auto& c : cases) {
        VbError e = Caught(c.act);
        EXPECT_EQ(e.Number(), c.number) << c.code;
        EXPECT_EQ(e.Source(), c.source) << c.code;
        EXPECT_EQ(e.Description(), SystemErrorText(c.code, r.file()));
        EXPECT_EQ(e.Description().find(L'%'), std::wstring::npos) << c.code;
        EXPECT_EQ(Err().Number, e.Number());
    }
    // Outside the filled range: error 9.
    EXPECT_EQ(Caught([&] { r.ResourceType(0); }).Number(), 9);
    EXPECT_EQ(Caught([&] { r.ResourceNameCount(2); }).Number(), 9);  // never enumerated
}

TEST(PellamyResources, ModuleIsReleasedWhenAnErrorIsRaisedPartWay) {
    HMODULE h = nullptr;
    Caught([&] {
        cResources r;
        r.file(Fixture(L"fx_noentry.dll"));
        h = r.hModule();
        r.GetResourceTypes();
    });
    ASSERT_NE(h, nullptr);
    EXPECT_FALSE(Mapped(h));
}

TEST(PellamyResources, TwoEnumeratorsOnTwoThreadsDoNotDisturbEachOther) {
    // Each callback finds its own object through the enumeration's parameter.
    auto work = [](const std::wstring& file, std::vector<std::wstring>* last) {
        for (int i = 0; i < 40; ++i) {
            cResources r;
            r.file(file);
            *last = Listing(r);
        }
    };
    std::vector<std::wstring> a, b;
    std::thread t1(work, Fixture(L"fx_resources.dll"), &a);
    std::thread t2(work, Fixture(L"fx_fail.dll"), &b);
    t1.join();
    t2.join();
    EXPECT_EQ(a.size(), 7u);
    EXPECT_EQ(b, std::vector<std::wstring>{L"16: 1"});
}

}  // namespace
