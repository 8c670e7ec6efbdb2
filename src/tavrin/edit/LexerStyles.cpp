#include "LexerStyles.h"

#include "ILexer.h"
#include "Lexilla.h"
#include "SciLexer.h"
#include "Scintilla.h"

namespace lexerstyles {

namespace {

using syntax::Role;

struct StyleRole {
    int style;
    Role role;
};

const StyleRole kCpp[] = {
    {SCE_C_COMMENT, Role::Comment},          {SCE_C_COMMENTLINE, Role::Comment},
    {SCE_C_COMMENTDOC, Role::Comment},       {SCE_C_COMMENTLINEDOC, Role::Comment},
    {SCE_C_COMMENTDOCKEYWORD, Role::Comment}, {SCE_C_COMMENTDOCKEYWORDERROR, Role::Comment},
    {SCE_C_PREPROCESSORCOMMENT, Role::Comment}, {SCE_C_PREPROCESSORCOMMENTDOC, Role::Comment},
    {SCE_C_NUMBER, Role::Number},            {SCE_C_UUID, Role::Number},
    {SCE_C_WORD, Role::Keyword},             {SCE_C_WORD2, Role::Type},
    {SCE_C_GLOBALCLASS, Role::Type},         {SCE_C_STRING, Role::String},
    {SCE_C_CHARACTER, Role::String},         {SCE_C_VERBATIM, Role::String},
    {SCE_C_STRINGRAW, Role::String},         {SCE_C_TRIPLEVERBATIM, Role::String},
    {SCE_C_HASHQUOTEDSTRING, Role::String},  {SCE_C_REGEX, Role::String},
    {SCE_C_USERLITERAL, Role::String},       {SCE_C_ESCAPESEQUENCE, Role::String},
    {SCE_C_PREPROCESSOR, Role::Preprocessor}, {SCE_C_OPERATOR, Role::Operator},
    {SCE_C_STRINGEOL, Role::Unclosed},
};

const StyleRole kHypertext[] = {
    {SCE_H_TAG, Role::Tag},            {SCE_H_TAGUNKNOWN, Role::Tag},         {SCE_H_TAGEND, Role::Tag},
    {SCE_H_XMLSTART, Role::Tag},       {SCE_H_XMLEND, Role::Tag},             {SCE_H_SCRIPT, Role::Tag},
    {SCE_H_ATTRIBUTE, Role::Attribute}, {SCE_H_ATTRIBUTEUNKNOWN, Role::Attribute},
    {SCE_H_NUMBER, Role::Number},      {SCE_H_DOUBLESTRING, Role::String},    {SCE_H_SINGLESTRING, Role::String},
    {SCE_H_VALUE, Role::String},       {SCE_H_CDATA, Role::String},           {SCE_H_COMMENT, Role::Comment},
    {SCE_H_XCCOMMENT, Role::Comment},  {SCE_H_SGML_COMMENT, Role::Comment},   {SCE_H_ENTITY, Role::Entity},
    {SCE_H_SGML_ENTITY, Role::Entity}, {SCE_H_SGML_COMMAND, Role::Tag},       {SCE_H_ASP, Role::Preprocessor},
    {SCE_H_ASPAT, Role::Preprocessor}, {SCE_H_QUESTION, Role::Preprocessor},
    // JavaScript inside the page, then inside server blocks.
    {SCE_HJ_COMMENT, Role::Comment},   {SCE_HJ_COMMENTLINE, Role::Comment},   {SCE_HJ_COMMENTDOC, Role::Comment},
    {SCE_HJ_NUMBER, Role::Number},     {SCE_HJ_KEYWORD, Role::Keyword},       {SCE_HJ_DOUBLESTRING, Role::String},
    {SCE_HJ_SINGLESTRING, Role::String}, {SCE_HJ_REGEX, Role::String},        {SCE_HJ_SYMBOLS, Role::Operator},
    {SCE_HJ_STRINGEOL, Role::Unclosed},
    {SCE_HJA_COMMENT, Role::Comment},  {SCE_HJA_COMMENTLINE, Role::Comment},  {SCE_HJA_COMMENTDOC, Role::Comment},
    {SCE_HJA_NUMBER, Role::Number},    {SCE_HJA_KEYWORD, Role::Keyword},      {SCE_HJA_DOUBLESTRING, Role::String},
    {SCE_HJA_SINGLESTRING, Role::String}, {SCE_HJA_REGEX, Role::String},      {SCE_HJA_SYMBOLS, Role::Operator},
    {SCE_HJA_STRINGEOL, Role::Unclosed},
    // VBScript, the same two ways.
    {SCE_HB_COMMENTLINE, Role::Comment}, {SCE_HB_NUMBER, Role::Number},       {SCE_HB_WORD, Role::Keyword},
    {SCE_HB_STRING, Role::String},     {SCE_HB_STRINGEOL, Role::Unclosed},
    {SCE_HBA_COMMENTLINE, Role::Comment}, {SCE_HBA_NUMBER, Role::Number},     {SCE_HBA_WORD, Role::Keyword},
    {SCE_HBA_STRING, Role::String},    {SCE_HBA_STRINGEOL, Role::Unclosed},
};

const StyleRole kVBScript[] = {
    {SCE_B_COMMENT, Role::Comment},      {SCE_B_NUMBER, Role::Number},    {SCE_B_HEXNUMBER, Role::Number},
    {SCE_B_KEYWORD, Role::Keyword},      {SCE_B_STRING, Role::String},    {SCE_B_DATE, Role::Number},
    {SCE_B_PREPROCESSOR, Role::Preprocessor}, {SCE_B_OPERATOR, Role::Operator}, {SCE_B_STRINGEOL, Role::Unclosed},
};

const StyleRole kCss[] = {
    {SCE_CSS_TAG, Role::Tag},              {SCE_CSS_CLASS, Role::Type},          {SCE_CSS_ID, Role::Type},
    {SCE_CSS_PSEUDOCLASS, Role::Type},     {SCE_CSS_PSEUDOELEMENT, Role::Type},  {SCE_CSS_IDENTIFIER, Role::Keyword},
    {SCE_CSS_IDENTIFIER2, Role::Keyword},  {SCE_CSS_IDENTIFIER3, Role::Keyword}, {SCE_CSS_VALUE, Role::String},
    {SCE_CSS_DOUBLESTRING, Role::String},  {SCE_CSS_SINGLESTRING, Role::String}, {SCE_CSS_COMMENT, Role::Comment},
    {SCE_CSS_OPERATOR, Role::Operator},    {SCE_CSS_IMPORTANT, Role::Keyword},   {SCE_CSS_DIRECTIVE, Role::Preprocessor},
    {SCE_CSS_ATTRIBUTE, Role::Attribute},  {SCE_CSS_GROUP_RULE, Role::Preprocessor},
};

LRESULT Call(HWND edit, UINT msg, WPARAM wp = 0, LPARAM lp = 0) { return SendMessageW(edit, msg, wp, lp); }

void Property(HWND edit, const char* key, const char* value) {
    Call(edit, SCI_SETPROPERTY, reinterpret_cast<WPARAM>(key), reinterpret_cast<LPARAM>(value));
}

template <size_t N>
void Looks(HWND edit, const StyleRole (&table)[N], bool dark) {
    for (const StyleRole& s : table) {
        const syntax::Look look = syntax::LookOf(s.role, dark);
        Call(edit, SCI_STYLESETFORE, s.style, look.fore);
        Call(edit, SCI_STYLESETBOLD, s.style, look.bold);
        Call(edit, SCI_STYLESETITALIC, s.style, look.italic);
    }
}

}  // namespace

void SetLexer(HWND edit, syntax::Language language) {
    const char* name = syntax::LexerName(language);
    Call(edit, SCI_SETILEXER, 0, reinterpret_cast<LPARAM>(name ? CreateLexer(name) : nullptr));
    if (!name) return;
    // Code inside #if 0 is shown like the rest: greying it would need the build's own defines.
    Property(edit, "lexer.cpp.track.preprocessor", "0");
    Property(edit, "lexer.cpp.allow.dollars", language == syntax::Language::JavaScript ? "1" : "0");
    // Server pages are mostly written in VBScript.
    Property(edit, "asp.default.language", language == syntax::Language::ServerPage ? "2" : "1");
    for (const syntax::Keywords& k : syntax::KeywordLists(language))
        Call(edit, SCI_SETKEYWORDS, static_cast<WPARAM>(k.set), reinterpret_cast<LPARAM>(k.words));
}

void ApplyLooks(HWND edit, syntax::Language language, bool dark) {
    switch (language) {
    case syntax::Language::Cpp:
    case syntax::Language::Java:
    case syntax::Language::JavaScript: Looks(edit, kCpp, dark); break;
    case syntax::Language::Html:
    case syntax::Language::ServerPage: Looks(edit, kHypertext, dark); break;
    case syntax::Language::VBScript: Looks(edit, kVBScript, dark); break;
    case syntax::Language::Css: Looks(edit, kCss, dark); break;
    case syntax::Language::None: break;
    }
}

}  // namespace lexerstyles
