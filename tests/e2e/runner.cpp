// End-to-end runner: reads case files, runs each case's program in a fresh
// folder and compares exit code, outputs and files.
//
// A case file is a list of cases:
//
//   case -L inserts its parameters at the window end
//   run: kesh -L a "b c" ''
//   env: NAME=VALUE            (repeatable, in this order)
//   cmdfile: set.cmd           (sets ..=12345set.cmd for the program)
//   stdin:                     (a body follows)
//   file in.txt:               (an input file; a body follows)
//   gen big.txt 1000000 "a line\n"   (an input file: the text that many times)
//   dir: sub                   (an empty folder)
//   exit: 2
//   stdout:   stderr:   expect out.txt:   cmd:     (expected contents, bodies)
//   stdout-has: text   stderr-has: text            (substring checks)
//   stdout-size: N   size NAME: N                  (byte counts)
//   absent: NAME                                   (the file must not exist)
//   same: NAME                                     (unchanged from its input)
//   only: windows     (or posix: the case holds on that platform alone; it
//                      is skipped elsewhere. A comment line above it says why)
//
// Body lines: "| text" is text plus a line end, "|" alone an empty line,
// "\ text" is raw text with escapes (\n \r \t \\ \xHH) and no line end
// added. Expected text outputs and the texts of the -has checks are compared
// with the target's line end (CR LF for a Windows build, given --crlf); a section written "expect-bin NAME:" or
// "stdout-bin:" is compared byte for byte. Arguments are separated by blanks;
// "..." quotes with the same escapes, '' is the empty argument.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "spawn.h"

namespace fs = std::filesystem;

namespace {

struct Body {
    std::string name;
    std::string text;
    bool binary = false;
};

struct Case {
    std::string title, file;
    int line = 0;
    std::vector<std::string> args;
    std::vector<std::string> env;
    std::string cmdfile;
    bool has_stdin = false;
    std::string stdin_text;
    std::vector<Body> inputs;
    std::vector<std::pair<std::string, std::string>> gens;  // name, content
    std::vector<std::string> dirs;
    bool has_exit = false;
    long long exit_code = 0;
    std::vector<Body> expects;  // name "<stdout>", "<stderr>", "<cmd>" or a file
    std::vector<std::pair<std::string, std::string>> has;  // stream, text
    std::vector<std::pair<std::string, long long>> sizes;
    std::vector<std::string> absent, same;
    std::string only;  // empty: every platform
};

std::string unescape(const std::string& s, size_t from = 0) {
    std::string out;
    for (size_t k = from; k < s.size(); k++) {
        if (s[k] != '\\' || k + 1 == s.size()) {
            out += s[k];
            continue;
        }
        char c = s[++k];
        switch (c) {
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case '0': out += '\0'; break;
        case 'x':
            if (k + 2 < s.size() + 0) {
                out += (char)std::stoi(s.substr(k + 1, 2), nullptr, 16);
                k += 2;
            }
            break;
        default: out += c; break;
        }
    }
    return out;
}

std::vector<std::string> split_args(const std::string& s) {
    std::vector<std::string> out;
    size_t k = 0;
    while (k < s.size()) {
        while (k < s.size() && s[k] == ' ') k++;
        if (k >= s.size()) break;
        std::string tok;
        if (s[k] == '"') {
            size_t e = k + 1;
            while (e < s.size() && s[e] != '"') e += (s[e] == '\\') ? 2 : 1;
            tok = unescape(s.substr(k + 1, e - k - 1));
            k = e + 1;
        } else if (s.compare(k, 2, "''") == 0 && (k + 2 == s.size() || s[k + 2] == ' ')) {
            k += 2;
        } else {
            size_t e = s.find(' ', k);
            if (e == std::string::npos) e = s.size();
            tok = s.substr(k, e - k);
            k = e;
        }
        out.push_back(tok);
    }
    return out;
}

bool starts(const std::string& s, const char* p) { return s.rfind(p, 0) == 0; }

std::string trim(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\r')) s.pop_back();
    size_t k = 0;
    while (k < s.size() && s[k] == ' ') k++;
    return s.substr(k);
}

std::vector<Case> parse(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);) {
        if (!l.empty() && l.back() == '\r') l.pop_back();
        lines.push_back(l);
    }
    std::vector<Case> cases;
    auto body = [&](size_t& k) {
        std::string text;
        while (k + 1 < lines.size()) {
            const std::string& l = lines[k + 1];
            if (l == "|")
                text += "\n";
            else if (starts(l, "| "))
                text += l.substr(2) + "\n";
            else if (starts(l, "\\ "))
                text += unescape(l, 2);
            else
                break;
            k++;
        }
        return text;
    };
    for (size_t k = 0; k < lines.size(); k++) {
        std::string l = lines[k];
        if (l.empty() || l[0] == '#') continue;
        if (starts(l, "case ")) {
            cases.push_back({});
            cases.back().title = l.substr(5);
            cases.back().file = path;
            cases.back().line = (int)k + 1;
            continue;
        }
        if (cases.empty()) throw std::runtime_error(path + ":" + std::to_string(k + 1) + ": no case");
        Case& c = cases.back();
        size_t colon = l.find(':');
        std::string key = l.substr(0, colon), val = colon == std::string::npos ? "" : trim(l.substr(colon + 1));
        if (key == "run")
            c.args = split_args(val);
        else if (key == "env")
            c.env.push_back(unescape(val));
        else if (key == "cmdfile")
            c.cmdfile = val;
        else if (key == "stdin") {
            c.has_stdin = true;
            c.stdin_text = body(k);
        } else if (starts(key, "file "))
            c.inputs.push_back({trim(key.substr(5)), body(k)});
        else if (starts(key, "gen ")) {
            auto a = split_args(l.substr(4));
            std::string text, unit = a.at(2);
            long long n = std::stoll(a.at(1));
            text.reserve((size_t)n * unit.size());
            for (long long m = 0; m < n; m++) text += unit;
            c.gens.push_back({a.at(0), text});
        } else if (key == "dir")
            c.dirs.push_back(val);
        else if (key == "exit") {
            c.has_exit = true;
            c.exit_code = std::stoll(val);
        } else if (key == "stdout" || key == "stderr" || key == "cmd" || key == "stdout-bin")
            c.expects.push_back({"<" + key.substr(0, key.find('-')) + ">", body(k), key == "stdout-bin"});
        else if (starts(key, "expect ") || starts(key, "expect-bin "))
            c.expects.push_back({trim(key.substr(key.find(' ') + 1)), body(k), starts(key, "expect-bin")});
        else if (key == "stdout-has" || key == "stderr-has")
            c.has.push_back({key.substr(0, 6), unescape(val)});
        else if (key == "stdout-size")
            c.sizes.push_back({"<stdout>", std::stoll(val)});
        else if (starts(key, "size "))
            c.sizes.push_back({trim(key.substr(5)), std::stoll(val)});
        else if (key == "absent")
            c.absent.push_back(val);
        else if (key == "same")
            c.same.push_back(val);
        else if (key == "only") {
            if (val != "windows" && val != "posix")
                throw std::runtime_error(path + ":" + std::to_string(k + 1) + ": only: windows or posix");
            c.only = val;
        }
        else
            throw std::runtime_error(path + ":" + std::to_string(k + 1) + ": unknown line: " + l);
    }
    return cases;
}

std::string slurp(const fs::path& p, bool& ok) {
    std::ifstream in(p, std::ios::binary);
    ok = (bool)in;
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void spit(const fs::path& p, const std::string& s) {
    std::ofstream out(p, std::ios::binary);
    out << s;
}

std::string show(const std::string& s) {
    std::string out;
    for (unsigned char c : s) {
        if (c == '\n')
            out += "\\n\n    ";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\t')
            out += "\\t";
        else if (c < 0x20 || c == 0x7F) {
            char b[8];
            snprintf(b, sizeof b, "\\x%02X", c);
            out += b;
        } else
            out += (char)c;
        if (out.size() > 4000) return out + "...";
    }
    return out;
}

struct Options {
    std::string bindir, suffix;
    std::vector<std::string> launcher;
    bool crlf = false;
    bool keep = false;
};

std::string to_target(const std::string& s, bool crlf) {
    if (!crlf) return s;
    std::string out;
    for (char c : s) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// Tidying up never fails a run: some file systems refuse to remove what a
// case made (folders nested beyond the Windows path limit, for one).
void remove_tree(const fs::path& p) {
    std::error_code ec;
    fs::remove_all(p, ec);
}

bool run_case(const Case& c, const Options& opt, const fs::path& root, int number) {
    fs::path dir = root / ("case" + std::to_string(number));
    remove_tree(dir);
    fs::create_directories(dir);
    for (auto& d : c.dirs) fs::create_directories(dir / d);
    for (auto& f : c.inputs) {
        fs::create_directories((dir / f.name).parent_path());
        spit(dir / f.name, f.text);
    }
    for (auto& g : c.gens) spit(dir / g.first, g.second);
    if (c.has_stdin) spit(dir / ".stdin", c.stdin_text);

    SpawnRequest req;
    std::string prog = (fs::absolute(fs::path(opt.bindir)) / (c.args.at(0) + opt.suffix)).string();
    req.argv = opt.launcher;
    req.argv.push_back(prog);
    for (size_t k = 1; k < c.args.size(); k++) req.argv.push_back(c.args[k]);
    req.env = c.env;
    if (!c.cmdfile.empty()) req.env.insert(req.env.begin(), "..=12345" + c.cmdfile);
    for (auto& e : passthrough_env()) req.env.push_back(e);
    req.cwd = dir.string();
    req.stdin_file = c.has_stdin ? (dir / ".stdin").string() : "";
    req.stdout_file = (dir / ".stdout").string();
    req.stderr_file = (dir / ".stderr").string();
    SpawnResult res = spawn_and_wait(req);

    std::vector<std::string> fails;
    bool ok;
    std::string out = slurp(dir / ".stdout", ok), err = slurp(dir / ".stderr", ok);
    if (!res.started || res.timed_out || !res.error.empty())
        fails.push_back(res.timed_out ? "timed out" : "could not run: " + res.error);
    if (c.has_exit) {
        long long want = full_exit_codes() ? c.exit_code : (c.exit_code & 0xFF);
        if (res.exit_code != want)
            fails.push_back("exit code " + std::to_string(res.exit_code) + ", expected " + std::to_string(want));
    }
    for (auto& e : c.expects) {
        std::string got;
        if (e.name == "<stdout>")
            got = out, ok = true;
        else if (e.name == "<stderr>")
            got = err, ok = true;
        else
            got = slurp(dir / (e.name == "<cmd>" ? c.cmdfile : e.name), ok);
        std::string want = e.binary ? e.text : to_target(e.text, opt.crlf);
        if (!ok)
            fails.push_back(e.name + ": missing");
        else if (got != want)
            fails.push_back(e.name + ":\n  expected:\n    " + show(want) + "\n  got:\n    " + show(got));
    }
    for (auto& h : c.has) {
        const std::string& s = h.first == "stdout" ? out : err;
        std::string want = to_target(h.second, opt.crlf);
        if (s.find(want) == std::string::npos)
            fails.push_back(h.first + " lacks \"" + show(want) + "\"; it holds:\n    " + show(s));
    }
    for (auto& sz : c.sizes) {
        long long got = sz.first == "<stdout>" ? (long long)out.size()
                        : fs::exists(dir / sz.first) ? (long long)fs::file_size(dir / sz.first)
                                                     : -1;
        if (got != sz.second)
            fails.push_back(sz.first + ": size " + std::to_string(got) + ", expected " + std::to_string(sz.second));
    }
    for (auto& a : c.absent)
        if (fs::exists(dir / a)) fails.push_back(a + ": exists, expected absent");
    for (auto& s : c.same) {
        std::string want;
        for (auto& f : c.inputs)
            if (f.name == s) want = f.text;
        for (auto& g : c.gens)
            if (g.first == s) want = g.second;
        std::string got = slurp(dir / s, ok);
        if (!ok || got != want) fails.push_back(s + ": changed, expected unchanged");
    }
    if (fails.empty()) {
        if (!opt.keep) remove_tree(dir);
        return true;
    }
    std::cout << "FAIL " << c.file << ":" << c.line << ": " << c.title << "\n";
    for (auto& f : fails) std::cout << "  " << f << "\n";
    std::cout << "  (stderr: " << show(err.substr(0, 600)) << ")\n  folder: " << dir.string() << "\n";
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    Options opt;
    std::vector<std::string> files;
    for (int k = 1; k < argc; k++) {
        std::string a = argv[k];
        if (a == "--bin" && k + 1 < argc)
            opt.bindir = argv[++k];
        else if (a == "--suffix" && k + 1 < argc)
            opt.suffix = argv[++k];
        else if (a == "--launcher" && k + 1 < argc)
            opt.launcher.push_back(argv[++k]);
        else if (a == "--crlf")
            opt.crlf = true;
        else if (a == "--keep")
            opt.keep = true;
        else
            files.push_back(a);
    }
    if (opt.bindir.empty() || files.empty()) {
        std::cerr << "usage: e2e_runner --bin DIR [--suffix .exe] [--launcher CMD] [--crlf] [--keep] CASEFILE...\n";
        return 2;
    }
    std::mt19937_64 rng((unsigned long long)std::chrono::steady_clock::now().time_since_epoch().count());
    fs::path root = fs::temp_directory_path() / ("e2e-" + std::to_string(rng() % 1000000000ULL));
    int passed = 0, failed = 0, skipped = 0, number = 0;
    for (auto& f : files) {
        std::vector<Case> cases;
        try {
            cases = parse(f);
        } catch (const std::exception& e) {
            std::cout << "FAIL " << e.what() << "\n";
            failed++;
            continue;
        }
        for (auto& c : cases) {
            if (!c.only.empty() && c.only != platform_name())
                skipped++;
            else
                (run_case(c, opt, root, ++number) ? passed : failed)++;
        }
    }
    if (failed == 0) remove_tree(root);
    std::cout << passed << " passed, " << failed << " failed";
    if (skipped) std::cout << ", " << skipped << " skipped (only: another platform)";
    std::cout << "\n";
    return failed ? 1 : 0;
}
