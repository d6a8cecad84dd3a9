// The registry file's text: what parses must write back as text that parses to the same tree,
// so that a registry read and rewritten never changes or loses what it holds.
#include "RegistryFileFormat.h"
#include "fuzz_support.h"

using registry::ParseTree;
using registry::SerializeTree;

std::vector<FuzzBytes> FuzzSeeds()
{
    return {
        TextBytes("; Marvek registry, format 1\n"
                  "\n"
                  "[HKEY_CLASSES_ROOT\\CLSID\\{E436EBB3-524F-11CE-9F53-0020AF0BA770}]\n"
                  "@=\"Filter Graph\"\n"
                  "\n"
                  "[HKEY_CLASSES_ROOT\\CLSID\\{E436EBB3-524F-11CE-9F53-0020AF0BA770}\\"
                  "InprocServer32]\n"
                  "@=\"/usr/lib/marvek/Zentrax.so\"\n"
                  "\"ThreadingModel\"=\"Both\"\n"
                  "[HKEY_CLASSES_ROOT\\CLSID\\{083863F1-70DE-11D0-BD40-00A0C911CE86}\\Instance\\"
                  "{B1}]\n"
                  "\"FriendlyName\"=\"Ostrel Muxer\"\n"
                  "\"Merit\"=dword:00200000\n"
                  "\"FilterData\"=hex:02,00,00,00,00,00,20,00,ff\n"),
        TextBytes("# comment\r\n"
                  "[hkey_current_user\\Software\\\\Marvek]\r\n"
                  "\"Escapes \\\" \\\\ \\n \\r \\t \\x01\"=\"caf\xC3\xA9 \\x7F\"\r\n"
                  "\"Multi\"=hex(7):41,00,00,00,00,00,00,00\r\n"
                  "\"Empty\"=hex:\r\n"
                  "\"EmptyString\"=hex(1):\r\n"
                  "\"EmptyNumber\"=hex(4):\r\n"
                  "[HKEY_LOCAL_MACHINE\\A\\B\\C]\n"
                  "@=hex(0):\n"),
        // A string value whose character is no code point (found by fuzzing).
        TextBytes("[hkey_current_user]\n"
                  "\"\"=hex(1):41,00,00,80\n"),
    };
}

std::vector<FuzzBytes> FuzzTokens()
{
    return {TextBytes("[HKEY_CLASSES_ROOT\\"),
            TextBytes("HKEY_CURRENT_USER"),
            TextBytes("]\n"),
            TextBytes("\\"),
            TextBytes("\"=\""),
            TextBytes("@="),
            TextBytes("dword:"),
            TextBytes("hex:"),
            TextBytes("hex("),
            TextBytes("):"),
            TextBytes("\\x"),
            TextBytes(",ff"),
            TextBytes("\r\n"),
            TextBytes("\xC3\xA9")};
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t cbSize)
{
    const std::optional<registry::Tree> tree =
        ParseTree(std::string_view(reinterpret_cast<const char*>(pData), cbSize));
    if (!tree)
        return 0;
    const std::string written = SerializeTree(*tree);
    const std::optional<registry::Tree> readBack = ParseTree(written);
    FuzzCheck(readBack.has_value(), "a written registry reads back");
    FuzzCheck(SerializeTree(*readBack) == written, "reading back changes nothing");
    return 0;
}
