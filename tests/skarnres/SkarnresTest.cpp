// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ArchiveWriter.h"
#include "ContainerWriter.h"
#include "FakeGame.h"
#include "ImmutableFile.h"
#include "TempDir.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

struct TRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string textOf(const std::string& path) {
    const std::vector<std::uint8_t> bytes = ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// Runs skarnres with args; standard output goes to outPath when given (such as /dev/full).
TRun runSkarnres(const TTempDir& scratch, const std::vector<std::string>& args,
                 const std::string& outPath = "") {
    const std::string out = outPath.empty() ? scratch.file("stdout") : outPath;
    const std::string err = scratch.file("stderr");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<std::string> words = {SKARNRES_PATH};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    TRun run;
    if (posix_spawn(&child, SKARNRES_PATH, &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        if (::waitpid(child, &status, 0) == child && WIFEXITED(status))
            run.status = WEXITSTATUS(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    run.out = outPath.empty() ? textOf(out) : "";
    run.err = textOf(err);
    return run;
}

// Every file below root: relative path -> content, links as "-> target", folders as "<dir>".
std::map<std::string, std::string> tree(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
        const std::string name = it->path().string().substr(root.string().size() + 1);
        if (it->is_symlink())
            files[name] = "-> " + fs::read_symlink(it->path()).string();
        else if (it->is_directory())
            files[name] = "<dir>";
        else if (it->is_regular_file())
            files[name] = textOf(it->path().string());
    }
    return files;
}

std::vector<std::uint8_t> trackBytes(const std::string& displayName) {
    return BuildContainer({{"t.scn", BytesOf("SceneName=" + displayName + "\r\n")}});
}

std::string trackText(const std::string& displayName) {
    const std::vector<std::uint8_t> bytes = trackBytes(displayName);
    return std::string(bytes.begin(), bytes.end());
}

// One attack: files to lay out, the command ("{}" stands for the folder), and what must come of it.
struct ToolCase {
    const char* title;
    // relative path -> content; "-> x" makes a link to x, "<dir>" a folder
    std::map<std::string, std::string> files;
    std::vector<std::string> args;
    int status;
    std::string out;                          // exact standard output
    std::vector<std::string> errHas;          // pieces standard error holds
    std::map<std::string, std::string> after; // the whole tree afterwards
    const char* outPath = "";                 // where standard output goes instead of a file
    const char* immutable = "";               // a file the file system refuses to delete
    bool workingFolderGone = false;           // run in a working folder that was deleted
};

class Skarnres : public ::testing::TestWithParam<ToolCase> {};

TEST_P(Skarnres, Attack) {
    const ToolCase& c = GetParam();
    TTempDir dir;
    TTempDir scratch;
    const std::string root = dir.path().string();
    const auto expand = [&](std::string text) {
        for (std::size_t at; (at = text.find("{}")) != std::string::npos;)
            text.replace(at, 2, root);
        return text;
    };
    for (const auto& [name, content] : c.files) {
        fs::create_directories((dir.path() / name).parent_path());
        if (content == "<dir>")
            fs::create_directory(dir.path() / name);
        else if (content.starts_with("-> "))
            fs::create_symlink(content.substr(3), dir.path() / name);
        else
            WriteFileBytes((dir.path() / name).string(),
                           std::vector<std::uint8_t>(content.begin(), content.end()));
    }
    std::unique_ptr<TImmutableFile> immutable;
    if (*c.immutable) {
        immutable = std::make_unique<TImmutableFile>((dir.path() / c.immutable).string());
        if (!immutable->Set())
            GTEST_SKIP() << "this file system or these rights do not make files immutable";
    }
    std::vector<std::string> args;
    for (const std::string& arg : c.args)
        args.push_back(expand(arg));

    const fs::path before = fs::current_path();
    if (c.workingFolderGone) {
        fs::create_directory(dir.path() / "gone");
        fs::current_path(dir.path() / "gone");
        fs::remove(dir.path() / "gone");
    }
    const TRun run = runSkarnres(scratch, args, c.outPath);
    fs::current_path(before);
    immutable.reset();
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_EQ(run.out, expand(c.out));
    for (const std::string& piece : c.errHas)
        EXPECT_NE(run.err.find(expand(piece)), std::string::npos) << "standard error: " << run.err;
    std::map<std::string, std::string> after;
    for (const auto& [name, content] : c.after)
        after[name] = expand(content);
    EXPECT_EQ(tree(dir.path()), after);
    EXPECT_TRUE(fs::is_character_file("/dev/full")) << "the device is still there";
}

// A TGA header of a 24-bit picture of that size, without pixels, and a 2 x 2 picture.
std::string tgaHeader(int width, int height) {
    std::string header(18, '\0');
    header[0x02] = 2; // true colour, uncompressed
    header[0x0C] = static_cast<char>(width & 0xFF);
    header[0x0D] = static_cast<char>(width >> 8);
    header[0x0E] = static_cast<char>(height & 0xFF);
    header[0x0F] = static_cast<char>(height >> 8);
    header[0x10] = 24;
    return header;
}
const std::string smallTga = tgaHeader(2, 2) + std::string(12, '\x7F');

const std::string trackA = trackText("Alpha");
const std::string trackB = trackText("Bravo");

// The attacks; the picture commands only where skarnres is built with the toolkit.
std::vector<ToolCase> toolCases() {
    std::vector<ToolCase> cases = {
        ToolCase{"UnreadableTracksAmongReadableOnes",
                 {{"Baja/a.env", trackA},
                  {"Baja/b.~env", trackB},
                  {"Baja/dangling.env", "-> nowhere"},
                  {"Baja/loop.env", "-> loop.env"}},
                 {"tracks", "{}/Baja"},
                 1,
                 "A\tAlpha\ta.env\nX\tBravo\tb.~env\n",
                 {"Cannot open file {}/Baja/dangling.env", "Cannot open file {}/Baja/loop.env"},
                 {{"Baja", "<dir>"},
                  {"Baja/a.env", trackA},
                  {"Baja/b.~env", trackB},
                  {"Baja/dangling.env", "-> nowhere"},
                  {"Baja/loop.env", "-> loop.env"}}},
        ToolCase{"TracksIntoAFullDevice",
                 {{"Baja/a.env", trackA}},
                 {"tracks", "{}/Baja/"},
                 1,
                 "",
                 {"cannot write to standard output"},
                 {{"Baja", "<dir>"}, {"Baja/a.env", trackA}},
                 "/dev/full"},
        ToolCase{"TracksOfAFolderThatIsNotThere",
                 {{"Baja/a.env", trackA}},
                 {"tracks", "{}/SX", "--json"},
                 1,
                 "",
                 {"Cannot open folder {}/SX: no such folder"},
                 {{"Baja", "<dir>"}, {"Baja/a.env", trackA}}},
        ToolCase{"NamesThatWouldBreakTheLines",
                 {{"Baja/tab\tx.env", trackText("Tab\there")},
                  {"Baja/line\nx.env", trackA},
                  {"Baja/raw\xE9\\.env", trackText("Caf\xE9")}},
                 {"tracks", "{}/Baja"},
                 0,
                 "A\tAlpha\tline\\nx.env\nA\tCaf\xC3\xA9\traw\\xe9\\\\.env\nA\tTab\\there\ttab\\tx.env\n",
                 {},
                 {{"Baja", "<dir>"},
                  {"Baja/tab\tx.env", trackText("Tab\there")},
                  {"Baja/line\nx.env", trackA},
                  {"Baja/raw\xE9\\.env", trackText("Caf\xE9")}}},
        ToolCase{"SameNamedTracksInOneStore",
                 {{"Baja/x.env", trackA}, {"Enduro/x.env", trackB}, {"archive", "<dir>"}},
                 {"store", "{}/Baja/x.env", "{}/Enduro/x.env", "--to", "{}/archive/"},
                 1,
                 "done\t{}/Baja/x.env\t{}/archive/x.env\t\n"
                 "refused\t{}/Enduro/x.env\t\tCannot create file {}/archive/x.env\n",
                 {"Cannot create file {}/archive/x.env"},
                 {{"Baja", "<dir>"},
                  {"archive", "<dir>"},
                  {"archive/x.env", trackA},
                  {"Enduro", "<dir>"},
                  {"Enduro/x.env", trackB}}},
        ToolCase{
            "StoreOfATrackThatCannotBeDeleted",
            {{"Baja/a.env", trackA}, {"Baja/b.env", trackB}, {"archive", "<dir>"}},
            {"store", "{}/Baja/a.env", "{}/Baja/b.env", "--to", "{}/archive"},
            1,
            "source-stayed\t{}/Baja/a.env\t{}/archive/a.env\tarchived, but the track stayed where it was: "
            "its file cannot be deleted: Operation not permitted\n"
            "done\t{}/Baja/b.env\t{}/archive/b.env\t\n",
            {"{}/Baja/a.env", "stayed where it was"},
            {{"Baja", "<dir>"},
             {"Baja/a.env", trackA},
             {"archive", "<dir>"},
             {"archive/a.env", trackA},
             {"archive/b.env", trackB}},
            "",
            "Baja/a.env"},
        ToolCase{
            "ContainerNamesThatWouldBreakTheLines",
            {{"c.env",
              std::string(reinterpret_cast<const char*>(BuildContainer({{"a\tb\x01", BytesOf("xy")}}).data()),
                          BuildContainer({{"a\tb\x01", BytesOf("xy")}}).size())}},
            {"ls", "{}/c.env"},
            0,
            "0\ta\\tb\\x01\t25\t2\n",
            {},
            {{"c.env",
              std::string(reinterpret_cast<const char*>(BuildContainer({{"a\tb\x01", BytesOf("xy")}}).data()),
                          BuildContainer({{"a\tb\x01", BytesOf("xy")}}).size())}}},
        ToolCase{"RelativePathWithoutWorkingFolder",
                 {{"Baja/a.env", trackA}},
                 {"store", "Baja/a.env", "--to", "{}/archive"},
                 1,
                 "",
                 {"the working folder no longer exists"},
                 {{"Baja", "<dir>"}, {"Baja/a.env", trackA}},
                 "",
                 "",
                 true},
        // In a native path only "/" separates.
        ToolCase{"FetchOfANameWithAColon",
                 {{"archive/x:y.env", trackA}, {"Baja/y.env", trackB}},
                 {"fetch", "{}/archive/x:y.env", "--into", "{}/Baja"},
                 0,
                 "done\t{}/archive/x:y.env\t{}/Baja/x:y.env\t\n",
                 {},
                 {{"archive", "<dir>"},
                  {"archive/x:y.env", trackA},
                  {"Baja", "<dir>"},
                  {"Baja/x:y.env", trackA},
                  {"Baja/y.env", trackB}}},
        ToolCase{"StoreOfNamesWithAColonAndABackslash",
                 {{"Baja/a:b.env", trackA}, {"Baja/c\\d.env", trackB}, {"archive", "<dir>"}},
                 {"store", "{}/Baja/a:b.env", "{}/Baja/c\\d.env", "--to", "{}/archive"},
                 0,
                 "done\t{}/Baja/a:b.env\t{}/archive/a:b.env\t\ndone\t{}/Baja/c\\\\d.env\t{}/archive/"
                 "c\\\\d.env\t\n",
                 {},
                 {{"Baja", "<dir>"},
                  {"archive", "<dir>"},
                  {"archive/a:b.env", trackA},
                  {"archive/c\\d.env", trackB}}},
        // One JSON object; a byte that is not UTF-8 keeps the lines' escaping inside the strings.
        ToolCase{
            "StopAsJson",
            {{"Baja/a.env", trackA},
             {"Baja/b.env", trackB},
             {"Baja/B.~env", trackB},
             {"Baja/r\xE9.env", trackA}},
            {"stop", "{}/Baja/a.env", "{}/Baja/b.env", "{}/Baja/r\xE9.env", "--json"},
            1,
            R"({"command":"stop","failure":null,"tracks":[)"
            R"({"fate":"done","other":"","reason":"","replaced":false,"result":"{}/Baja/a.~env","track":"{}/Baja/a.env"},)"
            R"({"fate":"exists","other":"b.~env","reason":"b.~env exists","replaced":false,"result":"","track":"{}/Baja/b.env"},)"
            R"({"fate":"done","other":"","reason":"","replaced":false,"result":"{}/Baja/r\\xe9.~env",)"
            R"("track":"{}/Baja/r\\xe9.env"}]})"
            "\n",
            {"{}/Baja/b.env: b.~env exists"},
            {{"Baja", "<dir>"},
             {"Baja/a.~env", trackA},
             {"Baja/b.env", trackB},
             {"Baja/B.~env", trackB},
             {"Baja/r\xE9.~env", trackA}}},
        ToolCase{
            "TracksAsJson",
            {{"Baja/a.env", trackA}, {"Baja/b.~env", trackText("Caf\xE9 \\ 2")}},
            {"tracks", "{}/Baja", "--json"},
            0,
            R"({"command":"tracks","folder":"{}/Baja","tracks":[{"active":true,"file":"a.env","name":"Alpha"},)"
            R"({"active":false,"file":"b.~env","name":"Caf)"
            "\xC3\xA9"
            R"( \\ 2"}],"unreadable":[]})"
            "\n",
            {},
            {{"Baja", "<dir>"}, {"Baja/a.env", trackA}, {"Baja/b.~env", trackText("Caf\xE9 \\ 2")}}},
        ToolCase{"TracksOfAMissingFolder",
                 {},
                 {"tracks", "{}/Baja"},
                 1,
                 "",
                 {"Cannot open folder {}/Baja: no such folder"},
                 {}},
        ToolCase{"ListOfAFileThatIsNoContainer",
                 {{"notes.env", "plain text, not a track"}},
                 {"ls", "{}/notes.env"},
                 1,
                 "",
                 {"{}/notes.env is not a track container"},
                 {{"notes.env", "plain text, not a track"}}},
        ToolCase{"ListOfAFolder",
                 {{"Baja", "<dir>"}},
                 {"ls", "{}/Baja"},
                 1,
                 "",
                 {"Cannot open file {}/Baja: Is a directory"},
                 {{"Baja", "<dir>"}}},
        // After "--" a word that looks like an option is a track's name.
        ToolCase{"DoubleDashEndsTheOptions",
                 {{"Baja/a.~env", trackA}},
                 {"start", "--", "{}/Baja/a.~env", "--verbose"},
                 1,
                 "done\t{}/Baja/a.~env\t{}/Baja/a.env\t\nmissing\t--verbose\t\tthe file is missing\n",
                 {},
                 {{"Baja", "<dir>"}, {"Baja/a.env", trackA}}},
        ToolCase{
            "OptionValueAfterAnEqualsSign",
            {{"archive/x.env", trackA}, {"Baja", "<dir>"}},
            {"fetch", "--into={}/Baja", "{}/archive/x.env"},
            0,
            "done\t{}/archive/x.env\t{}/Baja/x.env\t\n",
            {},
            {{"archive", "<dir>"}, {"archive/x.env", trackA}, {"Baja", "<dir>"}, {"Baja/x.env", trackA}}},
        ToolCase{"UnknownOptionChangesNothing",
                 {{"Baja/a.~env", trackA}},
                 {"start", "--force", "{}/Baja/a.~env"},
                 2,
                 "",
                 {"skarnres start takes no option --force"},
                 {{"Baja", "<dir>"}, {"Baja/a.~env", trackA}}},
    };
    // A downloaded pack: a track in a folder, one whose name climbs out, and a link named like a track.
    const std::vector<std::uint8_t> packBytes =
        WriteArchive("zip", {{"pack/Baja/a.env", trackA},
                             {"pack/../../../up.~env", trackB},
                             {"locked.env", "", TArchiveItem::Symlink, "/etc/passwd"}});
    const std::string pack(packBytes.begin(), packBytes.end());
    const std::vector<ToolCase> archives = {
        ToolCase{"FetchFromAnArchive",
                 {{"pack.zip", pack}, {"Baja", "<dir>"}},
                 {"fetch", "{}/pack.zip", "--into", "{}/Baja"},
                 1,
                 "done\t{}/pack.zip:pack/Baja/a.env\t{}/Baja/a.env\t\n"
                 "done\t{}/pack.zip:pack/../../../up.~env\t{}/Baja/up.~env\t\n"
                 "refused\t{}/pack.zip:locked.env\t\ta link, not a file\n",
                 {"{}/pack.zip:locked.env: a link, not a file"},
                 {{"pack.zip", pack}, {"Baja", "<dir>"}, {"Baja/a.env", trackA}, {"Baja/up.~env", trackB}}},
        ToolCase{"ListAnArchive",
                 {{"pack.zip", pack}},
                 {"ls-archive", "{}/pack.zip"},
                 1,
                 "A\tAlpha\ta.env\tpack/Baja/a.env\n"
                 "X\tBravo\tup.~env\tpack/../../../up.~env\n"
                 "-\t\tlocked.env\tlocked.env\ta link, not a file\n",
                 {},
                 {{"pack.zip", pack}}},
    };
    cases.insert(cases.end(), archives.begin(), archives.end());
#ifdef SKARNRES_PREVIEW
    const std::vector<ToolCase> pictures = {
        ToolCase{"HugePictureHeader",
                 {{"big.tga", tgaHeader(21845, 32767)}, {"out.png", "an older picture"}},
                 {"tga", "{}/big.tga", "-o", "{}/out.png"},
                 1,
                 "",
                 {"21845 x 32767 pixels, more than skarnres decodes"},
                 {{"big.tga", tgaHeader(21845, 32767)}, {"out.png", "an older picture"}}},
        ToolCase{"PictureIntoAFullDevice",
                 {{"small.tga", smallTga}},
                 {"tga", "{}/small.tga", "-o", "/dev/full"},
                 1,
                 "",
                 {"cannot write /dev/full"},
                 {{"small.tga", smallTga}}},
        ToolCase{"PictureIntoAFolderThatIsMissing",
                 {{"small.tga", smallTga}},
                 {"tga", "{}/small.tga", "-o", "{}/nowhere/out.png"},
                 1,
                 "",
                 {"cannot write {}/nowhere/out.png"},
                 {{"small.tga", smallTga}}},
    };
    cases.insert(cases.end(), pictures.begin(), pictures.end());
#endif
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Cases, Skarnres, ::testing::ValuesIn(toolCases()),
                         [](const auto& info) { return std::string(info.param.title); });

// Drive paths, as operands and as an option's value, go through the prefix that holds the game, in any
// letter case, and every path skarnres writes reads as it was given.
TEST(SkarnresDrives, GoThroughTheGamesPrefixAndReadAsGiven) {
    TTempDir dir;
    TTempDir scratch;
    const TFakeGame game(dir.path() / "pfx");
    game.AddTrack("Baja", "a.env", "Alpha");
    WriteFileBytes((dir.path() / "b.env").string(), trackBytes("Bravo"));
    const char* chosen = std::getenv("WINEPREFIX");
    const std::optional<std::string> saved = chosen ? std::optional<std::string>(chosen) : std::nullopt;
    ::setenv("WINEPREFIX", game.Prefix().c_str(), 1);
    const TRun stop = runSkarnres(scratch, {"stop", R"(C:\Games\Skarn Rally 2\VEVOZURA\baja\a.env)"});
    const TRun fetch = runSkarnres(scratch, {"fetch", "--json", (dir.path() / "b.env").string(),
                                             R"(--into=C:\Games\Skarn Rally 2\Vevozura\Baja)"});
    const TRun missing = runSkarnres(scratch, {"ls", R"(C:\Games\missing.env)"});
#ifdef SKARNRES_PREVIEW
    WriteFileBytes((dir.path() / "small.tga").string(),
                   std::vector<std::uint8_t>(smallTga.begin(), smallTga.end()));
    const TRun picture =
        runSkarnres(scratch, {"tga", (dir.path() / "small.tga").string(), "-o", R"(C:\Games\out.png)"});
#endif
    if (saved)
        ::setenv("WINEPREFIX", saved->c_str(), 1);
    else
        ::unsetenv("WINEPREFIX");

    EXPECT_EQ(stop.status, 0) << stop.err;
    EXPECT_EQ(stop.out, R"(done	C:\\Games\\Skarn Rally 2\\VEVOZURA\\baja\\a.env	)"
                        R"(C:\\Games\\Skarn Rally 2\\VEVOZURA\\baja\\a.~env	)"
                        "\n");
    EXPECT_TRUE(fs::exists(game.EventFolder("Baja") / "a.~env"));
    EXPECT_EQ(fetch.status, 0) << fetch.err;
    EXPECT_NE(fetch.out.find(R"("result":"C:\\Games\\Skarn Rally 2\\Vevozura\\Baja\\b.env")"),
              std::string::npos)
        << fetch.out;
    EXPECT_EQ(textOf((game.EventFolder("Baja") / "b.env").string()), trackText("Bravo"));
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "skarnres: Cannot open file C:\\Games\\missing.env: No such file or directory\n");
#ifdef SKARNRES_PREVIEW
    EXPECT_EQ(picture.status, 0) << picture.err;
    EXPECT_TRUE(fs::is_regular_file(game.Prefix() / "drive_c/Games/out.png"));
#endif
}

} // namespace
