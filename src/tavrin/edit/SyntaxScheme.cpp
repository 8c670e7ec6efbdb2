#include "SyntaxScheme.h"

#include <cmath>
#include <cwctype>
#include <iterator>
#include <string>

namespace syntax {

namespace {

struct Extension {
    const wchar_t* ext;
    Language language;
};
const Extension kExtensions[] = {
    {L"c", Language::Cpp},      {L"cc", Language::Cpp},     {L"cpp", Language::Cpp},        {L"cxx", Language::Cpp},
    {L"h", Language::Cpp},      {L"hh", Language::Cpp},     {L"hpp", Language::Cpp},        {L"hxx", Language::Cpp},
    {L"inl", Language::Cpp},    {L"java", Language::Java},  {L"js", Language::JavaScript},  {L"htm", Language::Html},
    {L"html", Language::Html},  {L"xhtml", Language::Html}, {L"asp", Language::ServerPage}, {L"aspx", Language::ServerPage},
    {L"jsp", Language::ServerPage}, {L"vbs", Language::VBScript}, {L"css", Language::Css},
};

// The Save As list's order.
const Language kSaveTypes[] = {Language::Cpp,      Language::Cpp,        Language::Html, Language::JavaScript,
                               Language::VBScript, Language::Css,        Language::ServerPage, Language::Java};

const char kCppWords[] =
    "alignas alignof and and_eq asm auto bitand bitor bool break case catch char char8_t char16_t char32_t class "
    "co_await co_return co_yield compl concept const const_cast consteval constexpr constinit continue decltype "
    "default delete do double dynamic_cast else enum explicit export extern false float for friend goto if inline "
    "int long mutable namespace new noexcept not not_eq nullptr operator or or_eq private protected public register "
    "reinterpret_cast requires return short signed sizeof static static_assert static_cast struct switch template "
    "this thread_local throw true try typedef typeid typename union unsigned using virtual void volatile wchar_t "
    "while xor xor_eq";
const char kCppTypes[] =
    "size_t ptrdiff_t int8_t int16_t int32_t int64_t uint8_t uint16_t uint32_t uint64_t intptr_t uintptr_t "
    "BOOL BYTE WORD DWORD HANDLE HWND HRESULT LPARAM WPARAM LRESULT UINT LONG";
const char kJavaWords[] =
    "abstract assert boolean break byte case catch char class const continue default do double else enum extends "
    "final finally float for goto if implements import instanceof int interface long native new package private "
    "protected public return short static strictfp super switch synchronized this throw throws transient try void "
    "volatile while true false null var record yield sealed permits";
const char kJavaScriptWords[] =
    "async await break case catch class const continue debugger default delete do else export extends false "
    "finally for function if import in instanceof let new null of return static super switch this throw true try "
    "typeof undefined var void while with yield";
// The markup and Basic lexers compare in lower case: their lists are lower case.
const char kVBScriptWords[] =
    "and as byref byval call case class const dim do each else elseif empty end eqv erase error exit explicit "
    "false for function get goto if imp in is let like loop me mod new next not nothing null on option or "
    "preserve private property public randomize redim rem resume select set step stop sub then to true until wend "
    "while with xor";
const char kHtmlWords[] =
    "a abbr address area article aside audio b base bdi bdo blockquote body br button canvas caption cite code col "
    "colgroup data datalist dd del details dfn dialog div dl dt em embed fieldset figcaption figure footer form "
    "frame frameset h1 h2 h3 h4 h5 h6 head header hr html i iframe img input ins kbd label legend li link main map "
    "mark menu meta meter nav noscript object ol optgroup option output p param picture pre progress q rp rt ruby "
    "s samp script section select small source span strong style sub summary sup table tbody td template textarea "
    "tfoot th thead time title tr track u ul var video wbr font center "
    "accept action align alt async autocomplete autofocus bgcolor border charset checked cite class color cols "
    "colspan content contenteditable controls coords data defer dir disabled download draggable enctype for form "
    "headers height hidden high href hreflang http-equiv id lang language list loop low max maxlength media method "
    "min multiple muted name novalidate onblur onchange onclick ondblclick onfocus onkeydown onkeypress onkeyup "
    "onload onmousedown onmousemove onmouseout onmouseover onmouseup onreset onresize onsubmit onunload open "
    "optimum pattern placeholder poster preload readonly rel required reversed rows rowspan sandbox scope selected "
    "shape size sizes span spellcheck src srcdoc start step style tabindex target title type usemap value width "
    "wrap runat";
const char kCssWords[] =
    "align-content align-items align-self animation background background-attachment background-color "
    "background-image background-position background-repeat background-size border border-bottom border-collapse "
    "border-color border-left border-radius border-right border-spacing border-style border-top border-width bottom "
    "box-shadow box-sizing clear clip color content cursor direction display filter flex flex-basis flex-direction "
    "flex-grow flex-shrink flex-wrap float font font-family font-size font-style font-variant font-weight gap grid "
    "grid-area grid-column grid-row grid-template-columns grid-template-rows height justify-content left "
    "letter-spacing line-height list-style list-style-image list-style-position list-style-type margin "
    "margin-bottom margin-left margin-right margin-top max-height max-width min-height min-width opacity order "
    "outline overflow overflow-x overflow-y padding padding-bottom padding-left padding-right padding-top position "
    "right text-align text-decoration text-indent text-overflow text-shadow text-transform top transform transition "
    "vertical-align visibility white-space width word-spacing word-wrap z-index";
const char kCssPseudo[] =
    "active after before checked disabled empty enabled first-child first-letter first-line focus hover "
    "last-child link not nth-child root visited";

struct Scheme {
    Look light, dark;
};
// By Role. Dark: the same hues, lighter.
const Scheme kScheme[] = {
    {{MakeRgb(0, 0, 0)}, {MakeRgb(220, 220, 220)}},                          // Plain
    {{MakeRgb(0, 0, 192), true}, {MakeRgb(110, 160, 255), true}},            // Keyword
    {{MakeRgb(0, 112, 128)}, {MakeRgb(78, 201, 176)}},                       // Type
    {{MakeRgb(0, 128, 0), false, true}, {MakeRgb(106, 190, 90), false, true}},  // Comment
    {{MakeRgb(163, 21, 21)}, {MakeRgb(230, 150, 110)}},                      // String
    {{MakeRgb(9, 120, 100)}, {MakeRgb(181, 206, 168)}},                      // Number
    {{MakeRgb(128, 64, 0)}, {MakeRgb(220, 170, 100)}},                       // Preprocessor
    {{MakeRgb(64, 64, 64)}, {MakeRgb(200, 200, 200)}},                       // Operator
    {{MakeRgb(128, 0, 0), true}, {MakeRgb(240, 130, 130), true}},            // Tag
    {{MakeRgb(200, 0, 0)}, {MakeRgb(255, 170, 170)}},                        // Attribute
    {{MakeRgb(128, 0, 128)}, {MakeRgb(210, 150, 230)}},                      // Entity
    {{MakeRgb(192, 0, 0)}, {MakeRgb(255, 110, 110)}},                        // Unclosed
};
static_assert(std::size(kScheme) == static_cast<size_t>(Role::Count));

std::wstring ExtensionOf(std::wstring_view path) {
    const size_t slash = path.find_last_of(L"\\/:");
    const std::wstring_view name = slash == std::wstring_view::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind(L'.');
    std::wstring ext;
    if (dot == std::wstring_view::npos) return ext;
    for (wchar_t c : name.substr(dot + 1)) ext += static_cast<wchar_t>(c < 0x80 ? std::towlower(c) : c);
    return ext;
}

double Channel(unsigned v) {
    const double c = v / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(Rgb c) {
    return 0.2126 * Channel(c & 0xFF) + 0.7152 * Channel((c >> 8) & 0xFF) + 0.0722 * Channel((c >> 16) & 0xFF);
}

}  // namespace

Language LanguageOfPath(std::wstring_view path) {
    const std::wstring ext = ExtensionOf(path);
    for (const Extension& e : kExtensions)
        if (ext == e.ext) return e.language;
    return Language::None;
}

Language LanguageOfSaveType(int index) {
    return index >= 0 && static_cast<size_t>(index) < std::size(kSaveTypes) ? kSaveTypes[index] : Language::None;
}

Language LanguageOf(std::wstring_view path, int saveType) {
    const Language byName = LanguageOfPath(path);
    if (byName != Language::None || !ExtensionOf(path).empty()) return byName;
    return LanguageOfSaveType(saveType);
}

const char* LexerName(Language language) {
    switch (language) {
    case Language::Cpp:
    case Language::Java:
    case Language::JavaScript: return "cpp";
    case Language::Html:
    case Language::ServerPage: return "hypertext";
    case Language::VBScript: return "vbscript";
    case Language::Css: return "css";
    case Language::None: break;
    }
    return nullptr;
}

std::vector<Keywords> KeywordLists(Language language) {
    switch (language) {
    case Language::Cpp: return {{0, kCppWords}, {1, kCppTypes}};
    case Language::Java: return {{0, kJavaWords}};
    case Language::JavaScript: return {{0, kJavaScriptWords}};
    // Markup, then the scripts inside it: JavaScript, then VBScript.
    case Language::Html:
    case Language::ServerPage: return {{0, kHtmlWords}, {1, kJavaScriptWords}, {2, kVBScriptWords}};
    case Language::VBScript: return {{0, kVBScriptWords}};
    case Language::Css: return {{0, kCssWords}, {1, kCssPseudo}};
    case Language::None: break;
    }
    return {};
}

bool IsDark(Rgb background) { return Luminance(background) < 0.18; }

Look LookOf(Role role, bool dark) {
    const Scheme& s = kScheme[static_cast<size_t>(role) < std::size(kScheme) ? static_cast<size_t>(role) : 0];
    return dark ? s.dark : s.light;
}

double Contrast(Rgb a, Rgb b) {
    double la = Luminance(a) + 0.05, lb = Luminance(b) + 0.05;
    return la > lb ? la / lb : lb / la;
}

}  // namespace syntax
