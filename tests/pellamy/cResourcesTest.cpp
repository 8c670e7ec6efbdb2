// The resource enumerator against the fixture modules: its listing, its failures, its module.
#include <gtest/gtest.h>

#include <windows.h>

#include <thread>
#include <tuple>

#include "AppInfo.h"
#include "ErrRecord.h"
#include "PellamyTestKit.h"
#include "TestEnv.h"
#include "cResources.h"
#include "mResource.h"

using kit::Fixture;
using pellamy::ResValue;

namespace {

// "type: name name ..." per type, in enumeration order.
std::vector<std::wstring> Listing(cResources& r) {
    auto show = [](const ResValue& v) {
        return std::holds_alternative<int32_t>(v) ? std::to_wstring(std::get<int32_t>(v)) : L"'" + std::get<std::wstring>(v) + L"'";
    };
    std::vector<std::wstring> out;
    r.GetResourceTypes();
    for (int32_t t = 1; t <= r.ResourceTypeCount(); ++t) {
        r.GetResourceNames(t);
        std::wstring line = show(r.ResourceType(t)) + L":";
        for (int32_t n = 1; n <= r.ResourceNameCount(t); ++n) line += L" " + show(r.ResourceName(t, n));
        out.push_back(line);
    }
    return out;
}

bool Mapped(HMODULE h) {
    MEMORY_BASIC_INFORMATION mbi{};
    VirtualQuery(reinterpret_cast<void*>(reinterpret_cast<ULONG_PTR>(h) & ~static_cast<ULONG_PTR>(3)), &mbi, sizeof(mbi));
    return mbi.State != MEM_FREE;
}

// Named types first, then numbered ones ascending (windres upper-cases names); two enumerators on two
// threads each find their own object; modules are released and lists kept.
TEST(PellamyResources, NumberedAndNamedTypesAndNamesOfTheFixture) {
    const std::vector<std::wstring> expected = {L"'MYDATA': 'FIRST' 7", L"3: 1 2 3 4 5", L"6: 1 2", L"10: 'CONFIG' 5",
                                                L"14: 1", L"300: 1"};
    auto work = [](const std::wstring& file, std::vector<std::wstring>* last) {
        for (int i = 0; i < 40; ++i) {
            cResources r;
            r.file(file);
            *last = Listing(r);
        }
    };
    std::vector<std::wstring> a, b;
    std::thread t1(work, Fixture(L"fx_resources.dll"), &a), t2(work, Fixture(L"fx_register.dll"), &b);
    t1.join();
    t2.join();
    EXPECT_EQ(a, expected);
    EXPECT_EQ(b, std::vector<std::wstring>{L"16: 1"});
    cResources r;
    r.file(Fixture(L"fx_resources.dll"));
    Listing(r);
    const int32_t slots = r.Lists().SlotCount();  // names again for a type: the same slot, not a doubled list
    r.GetResourceNames(4);
    EXPECT_EQ(r.ResourceNameCount(4), 2);
    EXPECT_EQ(r.Lists().SlotCount(), slots);
    HMODULE old = r.hModule();
    r.UnloadModule();
    EXPECT_FALSE(Mapped(old));
    EXPECT_EQ(r.ResourceTypeCount(), 6);
}

// Failures raise their numbers and the system's text with the file filled in.
TEST(PellamyResources, FailuresRaiseTheirNumbersAndSystemTexts) {
    testenv::TempDir dir;
    cResources r;
    const std::tuple<std::function<void()>, int32_t, DWORD> cases[] = {
        {[&] { r.file(dir / L"missing.ocx"); }, -2147220455, ERROR_FILE_NOT_FOUND},
        {[&] { r.file(Fixture(L"notadll.dll")); }, -2147220455, ERROR_BAD_EXE_FORMAT},
        {[&] { r.file(Fixture(L"fx_noentry.dll")), r.GetResourceTypes(); }, -2147220455, ERROR_RESOURCE_DATA_NOT_FOUND},
        {[&] {  // a type the module does not have
             r.file(Fixture(L"fx_resources.dll")), r.GetResourceTypes(), r.AddResourceType(999, L"");
             r.GetResourceNames(r.ResourceTypeCount());
         },
         -2147220454, ERROR_RESOURCE_TYPE_NOT_FOUND},
    };
    for (const auto& [act, number, code] : cases) {
        Err().Clear();
        EXPECT_THROW(act(), VbError) << code;
        EXPECT_EQ(Err().Number, number) << code;
        EXPECT_EQ(Err().Description, SystemErrorText(code, r.file()));
        EXPECT_EQ(Err().Description.find(L'%'), std::wstring::npos) << code;
    }
}

}  // namespace
