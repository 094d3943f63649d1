// mutate_datfile: damages a real datafile in many ways and runs every mutant
// through the program's load path (datload) in a child process with a time
// limit, then prints how each ended. Passes when nothing crashed or hung and
// every mutant was either accepted (loaded, catalogue whole) or refused with
// a message.
//
//   mutate_datfile --datload PATH [--work DIR] [--count N] [--seed S]
//                  [--timeout SEC] [--keep DIR] [--no-check] SOURCE
//
// SOURCE is stored again with `dat` uncompressed, packed per object and packed
// as a whole; each form gets its own mutants. --no-check runs the loader
// without the structural check, to measure what Allegro alone does.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

constexpr std::uint64_t CHILD_MEMORY_LIMIT = std::uint64_t(4) << 30;
constexpr std::uint32_t TYPE_PROPERTY = 0x70726F70;   // "prop"
constexpr std::uint32_t TYPE_BITMAP   = 0x424D5020;   // "BMP "
constexpr std::uint32_t TYPE_SAMPLE   = 0x53414D50;   // "SAMP"
constexpr std::uint32_t TYPE_MIDI     = 0x4D494449;   // "MIDI"

// type ids a swap puts in place of an object's own
constexpr std::uint32_t SWAP_TYPES[] = {
    0x424D5020, 0x53414D50, 0x4D494449, 0x46494C45 /* FILE */, 0x464F4E54 /* FONT */,
    0x524C4520 /* RLE */, 0x434D5020 /* CMP */, 0x44415441 /* DATA */, 0xFFFFFFFF, TYPE_PROPERTY,
};

// values written over 32-bit size and count fields (besides value +-1, x2)
constexpr std::uint32_t FIELD32_VALUES[] = {0, 1, 0xFFFFFFFF, 0x7FFFFFFF, 0x80000000, 0x00010000};
// values written over 16-bit header fields
constexpr std::uint32_t FIELD16_VALUES[] = {0, 1, 0xFFFF, 0x8000, 60000, 4, 12, 0xFFE0};

struct Options {
    std::string datload;
    std::string work = "mutate";
    std::string keep;
    std::string source;
    int count = 1200;
    unsigned seed = 1;
    int timeout_s = 15;
    bool no_check = false;
};

// A field of the stored file that a mutation may rewrite.
struct Field {
    std::size_t offset;
    int width;            // 2 or 4 bytes
    std::string what;
};

// Where the objects and their numeric fields sit in a datafile whose list is
// not packed as a whole.
struct Layout {
    std::vector<std::size_t> boundaries;   // object starts and the end
    std::vector<std::size_t> type_fields;
    std::vector<Field> fields;
    std::vector<std::size_t> payloads;     // first data byte of each object
};

// A recipe rather than a copy: the forms are megabytes each.
struct Mutant {
    std::string kind;
    std::size_t form;
    std::size_t length;                                        // kept prefix
    std::vector<std::pair<std::size_t, std::uint8_t>> edits;   // byte writes
};

// How one child run ended.
enum class Outcome { accepted, refused_check, refused_catalogue, load_failed, crashed, hung, error };

struct Tally {
    std::map<std::string, std::map<Outcome, int>> by_kind;
    std::map<Outcome, int> total;
    std::map<std::string, int> signals;
    std::set<std::string> messages;
};

std::uint32_t be32(const Bytes &b, std::size_t at)
{
    return (std::uint32_t(b[at]) << 24) | (std::uint32_t(b[at + 1]) << 16) | (std::uint32_t(b[at + 2]) << 8) | b[at + 3];
}

std::uint32_t be16(const Bytes &b, std::size_t at) { return (std::uint32_t(b[at]) << 8) | b[at + 1]; }

// The byte writes that put v into field f.
std::vector<std::pair<std::size_t, std::uint8_t>> field_edits(const Field &f, std::uint32_t v)
{
    std::vector<std::pair<std::size_t, std::uint8_t>> e;
    for (int i = 0; i < f.width; ++i)
        e.push_back({f.offset + i, std::uint8_t(v >> (8 * (f.width - 1 - i)))});
    return e;
}

// The mutant's bytes.
Bytes mutant_bytes(const Bytes &original, const Mutant &m)
{
    Bytes b(original.begin(), original.begin() + std::ptrdiff_t(m.length));
    for (const auto &[at, value] : m.edits)
        if (at < b.size())
            b[at] = value;
    return b;
}

std::uint32_t get_field(const Bytes &b, const Field &f) { return f.width == 4 ? be32(b, f.offset) : be16(b, f.offset); }

Bytes read_file(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool write_file(const std::string &path, const Bytes &b)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(b.data()), std::streamsize(b.size()));
    return bool(out);
}

// Maps the root list of a stored ("slh.") file: object boundaries, type and
// size fields, and for stored objects the headers of bitmaps, samples and MIDI.
Layout map_layout(const Bytes &b)
{
    Layout l;
    std::size_t p = 8;
    l.fields.push_back({p, 4, "object count"});
    const std::uint32_t count = be32(b, p);
    p += 4;
    for (std::uint32_t i = 0; i < count && p + 12 <= b.size(); ++i) {
        l.boundaries.push_back(p);
        while (p + 12 <= b.size() && be32(b, p) == TYPE_PROPERTY) {
            l.fields.push_back({p + 8, 4, "property size"});
            p += 12 + be32(b, p + 8);
        }
        const std::uint32_t type = be32(b, p);
        l.type_fields.push_back(p);
        l.fields.push_back({p + 4, 4, "stored size"});
        l.fields.push_back({p + 8, 4, "unpacked size"});
        const std::uint32_t stored = be32(b, p + 4);
        const bool packed = std::int32_t(be32(b, p + 8)) < 0;
        const std::size_t data = p + 12;
        l.payloads.push_back(data);
        if (!packed && type == TYPE_BITMAP) {
            l.fields.push_back({data, 2, "bitmap depth"});
            l.fields.push_back({data + 2, 2, "bitmap width"});
            l.fields.push_back({data + 4, 2, "bitmap height"});
        } else if (!packed && type == TYPE_SAMPLE) {
            l.fields.push_back({data, 2, "sample bits"});
            l.fields.push_back({data + 2, 2, "sample rate"});
            l.fields.push_back({data + 4, 4, "sample length"});
        } else if (!packed && type == TYPE_MIDI) {
            l.fields.push_back({data, 2, "MIDI divisions"});
            std::size_t t = data + 2;
            for (int track = 0; track < 32 && t + 4 <= b.size(); ++track) {
                if (be32(b, t) != 0 || track < 2)
                    l.fields.push_back({t, 4, "MIDI track length"});
                t += 4 + be32(b, t);
            }
        }
        p = data + stored;
    }
    l.boundaries.push_back(p);
    return l;
}

// Mutants of one form of the file. `structured` forms also get field edits,
// type swaps and cuts at object boundaries; a file packed as a whole only
// byte-level damage.
std::vector<Mutant> make_mutants(const std::string &name, std::size_t form, const Bytes &b, bool structured,
                                 int budget, std::mt19937 &rng)
{
    std::vector<Mutant> out;
    auto cut = [&](const std::string &kind, std::size_t length) {
        out.push_back({name + "/" + kind, form, length, {}});
    };
    auto edit = [&](const std::string &kind, std::vector<std::pair<std::size_t, std::uint8_t>> edits) {
        out.push_back({name + "/" + kind, form, b.size(), std::move(edits)});
    };
    auto pick = [&](std::size_t lo, std::size_t hi) {
        return std::uniform_int_distribution<std::size_t>(lo, hi - 1)(rng);
    };

    // structure: cuts at and just after every boundary, field edits, type swaps
    std::vector<std::size_t> hot = {0, 4, 8};
    if (structured) {
        const Layout l = map_layout(b);
        for (std::size_t at : l.boundaries)
            for (std::size_t length : {at, at + 4, at + 12, at + 13})
                if (length < b.size())
                    cut("truncate at boundary", length);
        for (const Field &f : l.fields) {
            const std::uint32_t v = get_field(b, f);
            std::vector<std::uint32_t> values = {v + 1, v - 1, v * 2};
            if (f.width == 4)
                values.insert(values.end(), std::begin(FIELD32_VALUES), std::end(FIELD32_VALUES));
            else
                values.insert(values.end(), std::begin(FIELD16_VALUES), std::end(FIELD16_VALUES));
            for (std::uint32_t nv : values)
                edit("edit " + f.what, field_edits(f, nv));
        }
        for (std::size_t at : l.type_fields)
            for (std::uint32_t t : SWAP_TYPES)
                if (t != be32(b, at))
                    edit("type swap", field_edits({at, 4, ""}, t));
        for (std::size_t at : l.payloads)
            hot.push_back(at);
        hot.insert(hot.end(), l.boundaries.begin(), l.boundaries.end());
    }

    // random cuts, bit flips and byte edits: the rest of the budget, at least
    // half of it; half of them near a header where damage matters most
    std::uniform_int_distribution<int> coin(0, 1);
    auto offset = [&]() {
        if (coin(rng)) {
            const std::size_t h = hot[pick(0, hot.size())];
            return std::min(b.size() - 1, h + pick(0, 48));
        }
        return pick(0, b.size());
    };
    const std::size_t total = std::max(std::size_t(budget), out.size() + std::size_t(budget) / 2);
    while (out.size() < total) {
        switch (pick(0, 4)) {
        case 0: cut("truncate at random", pick(0, b.size())); break;
        case 1: {
            std::vector<std::pair<std::size_t, std::uint8_t>> flips;
            const int n = int(pick(1, 4));
            for (int i = 0; i < n; ++i) {
                const std::size_t at = offset();
                flips.push_back({at, std::uint8_t(b[at] ^ (1u << pick(0, 8)))});
            }
            edit("bit flip", std::move(flips));
            break;
        }
        default: edit("byte edit", {{offset(), std::uint8_t(pick(0, 256))}}); break;
        }
    }
    return out;
}

// Runs datload on `path` in a child with a time and memory limit. `message`
// gets the first line it printed.
Outcome run_child(const Options &o, const std::string &path, std::string &message, int &signal_number)
{
    int pipe_fd[2];
    if (pipe(pipe_fd) != 0)
        return Outcome::error;
    const pid_t pid = fork();
    if (pid < 0)
        return Outcome::error;
    if (pid == 0) {
        // child: bounded memory, output to the pipe, no core files
        const rlimit mem{CHILD_MEMORY_LIMIT, CHILD_MEMORY_LIMIT};
        setrlimit(RLIMIT_AS, &mem);
        const rlimit core{0, 0};
        setrlimit(RLIMIT_CORE, &core);
        dup2(pipe_fd[1], STDOUT_FILENO);
        const int null_fd = open("/dev/null", O_WRONLY);
        dup2(null_fd, STDERR_FILENO);
        close(pipe_fd[0]);
        if (o.no_check)
            execl(o.datload.c_str(), o.datload.c_str(), path.c_str(), "--no-check", static_cast<char *>(nullptr));
        else
            execl(o.datload.c_str(), o.datload.c_str(), path.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    close(pipe_fd[1]);

    // wait, up to the time limit
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(o.timeout_s);
    int status = 0;
    bool hung = false;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            hung = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    char text[512];
    const ssize_t n = read(pipe_fd[0], text, sizeof text - 1);
    close(pipe_fd[0]);
    message.assign(text, n > 0 ? std::size_t(n) : 0);
    if (const std::size_t nl = message.find('\n'); nl != std::string::npos)
        message.resize(nl);

    if (hung)
        return Outcome::hung;
    if (WIFSIGNALED(status)) {
        signal_number = WTERMSIG(status);
        return Outcome::crashed;
    }
    switch (WEXITSTATUS(status)) {
    case 0: return Outcome::accepted;
    case 2: return Outcome::refused_check;
    case 3: return Outcome::refused_catalogue;
    case 4: return Outcome::load_failed;
    }
    return Outcome::error;
}

const char *outcome_name(Outcome o)
{
    switch (o) {
    case Outcome::accepted:          return "accepted";
    case Outcome::refused_check:     return "refused by check";
    case Outcome::refused_catalogue: return "refused by catalogue";
    case Outcome::load_failed:       return "loader failed";
    case Outcome::crashed:           return "CRASHED";
    case Outcome::hung:              return "HUNG";
    case Outcome::error:             return "ERROR";
    }
    return "?";
}

// Stores `source` again with dat in the given compression (-c0, -c1, -c2).
bool restore_with_dat(const std::string &source, const std::string &target, const char *compression)
{
    if (!write_file(target, read_file(source)))
        return false;
    const std::string cmd = std::string("dat ") + compression + " -n0 -s1 '" + target + "' >/dev/null 2>&1";
    return std::system(cmd.c_str()) == 0;
}

bool parse_options(int argc, char **argv, Options &o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> std::string { return i + 1 < argc ? argv[++i] : ""; };
        if (a == "--datload") o.datload = value();
        else if (a == "--work") o.work = value();
        else if (a == "--keep") o.keep = value();
        else if (a == "--count") o.count = std::atoi(value().c_str());
        else if (a == "--seed") o.seed = unsigned(std::atoi(value().c_str()));
        else if (a == "--timeout") o.timeout_s = std::atoi(value().c_str());
        else if (a == "--no-check") o.no_check = true;
        else if (!a.empty() && a[0] != '-') o.source = a;
        else return false;
    }
    return !o.datload.empty() && !o.source.empty() && o.count > 0 && o.timeout_s > 0;
}

} // namespace

int main(int argc, char **argv)
{
    Options o;
    if (!parse_options(argc, argv, o)) {
        std::fprintf(stderr, "usage: mutate_datfile --datload PATH [--work DIR] [--count N] [--seed S] "
                             "[--timeout SEC] [--keep DIR] [--no-check] SOURCE\n");
        return 64;
    }
    if (access(o.source.c_str(), R_OK) != 0) {
        std::fprintf(stderr, "mutate_datfile: %s: cannot read (build data.wee first, or give a datafile)\n",
                     o.source.c_str());
        return 66;
    }
    mkdir(o.work.c_str(), 0755);
    if (!o.keep.empty())
        mkdir(o.keep.c_str(), 0755);

    // the three forms of the file, each loading before it is damaged
    struct Form { const char *name; const char *compression; bool structured; };
    constexpr Form forms[] = {{"plain", "-c0", true}, {"packed-objects", "-c1", true}, {"packed-whole", "-c2", false}};
    std::vector<std::pair<Form, Bytes>> originals;
    for (const Form &f : forms) {
        const std::string path = o.work + "/" + f.name + ".wee";
        if (!restore_with_dat(o.source, path, f.compression)) {
            std::fprintf(stderr, "mutate_datfile: dat %s failed on %s\n", f.compression, o.source.c_str());
            return 1;
        }
        std::string message;
        int sig = 0;
        const Outcome base = run_child(o, path, message, sig);
        if (base == Outcome::refused_catalogue)
            std::printf("note: the %s form loads but lacks the show's catalogue (%s)\n", f.name, message.c_str());
        else if (base != Outcome::accepted) {
            std::fprintf(stderr, "mutate_datfile: the undamaged %s form is not accepted: %s (%s)\n", f.name,
                         outcome_name(base), message.c_str());
            return 1;
        }
        originals.push_back({f, read_file(path)});
    }

    // mutants: the budget split over the forms, the plain form getting most
    std::mt19937 rng(o.seed);
    std::vector<Mutant> mutants;
    const int budgets[] = {o.count / 2, o.count * 3 / 10, o.count - o.count / 2 - o.count * 3 / 10};
    for (std::size_t i = 0; i < originals.size(); ++i) {
        std::vector<Mutant> m = make_mutants(originals[i].first.name, i, originals[i].second,
                                             originals[i].first.structured, budgets[i], rng);
        for (Mutant &x : m)
            mutants.push_back(std::move(x));
    }

    // run every mutant
    Tally tally;
    const std::string path = o.work + "/mutant.wee";
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i < mutants.size(); ++i) {
        const Mutant &m = mutants[i];
        const Bytes bytes = mutant_bytes(originals[m.form].second, m);
        write_file(path, bytes);
        std::string message;
        int sig = 0;
        const Outcome result = run_child(o, path, message, sig);
        ++tally.by_kind[m.kind][result];
        ++tally.total[result];
        if (result == Outcome::crashed)
            ++tally.signals[strsignal(sig)];
        if (result == Outcome::refused_check || result == Outcome::refused_catalogue) {
            if (message.empty())
                ++tally.total[Outcome::error];
            tally.messages.insert(message.substr(0, 110));
        }
        const bool bad = result == Outcome::crashed || result == Outcome::hung || result == Outcome::error ||
                         (result == Outcome::load_failed && !o.no_check);
        if (bad) {
            std::printf("  %s #%zu (%s): %s %s\n", outcome_name(result), i, m.kind.c_str(),
                        result == Outcome::crashed ? strsignal(sig) : "", message.c_str());
            if (!o.keep.empty())
                write_file(o.keep + "/" + std::to_string(i) + ".wee", bytes);
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    // report
    std::printf("\n%-22s %9s %9s %9s %9s %9s %9s\n", "mutation", "accepted", "check", "catalogue", "loadfail",
                "crashed", "hung");
    for (const auto &[kind, counts] : tally.by_kind) {
        auto get = [&](Outcome x) { auto it = counts.find(x); return it == counts.end() ? 0 : it->second; };
        std::printf("%-34s %9d %9d %9d %9d %9d %9d\n", kind.c_str(), get(Outcome::accepted),
                    get(Outcome::refused_check), get(Outcome::refused_catalogue), get(Outcome::load_failed),
                    get(Outcome::crashed), get(Outcome::hung));
    }
    auto total = [&](Outcome x) { return tally.total[x]; };
    std::printf("\nsome refusals:\n");
    int shown = 0;
    for (const std::string &msg : tally.messages)
        if (shown++ < 12)
            std::printf("  %s\n", msg.c_str());
    for (const auto &[name, n] : tally.signals)
        std::printf("signal %s: %d\n", name.c_str(), n);
    std::printf("\n%zu mutants of %s%s in %.1f s: %d accepted, %d refused (%d by the check, %d by the catalogue), "
                "%d loader failures, %d crashes, %d hangs, %d errors\n",
                mutants.size(), o.source.c_str(), o.no_check ? " WITHOUT the check" : "", seconds,
                total(Outcome::accepted), total(Outcome::refused_check) + total(Outcome::refused_catalogue),
                total(Outcome::refused_check), total(Outcome::refused_catalogue), total(Outcome::load_failed),
                total(Outcome::crashed), total(Outcome::hung), total(Outcome::error));
    const bool clean = total(Outcome::crashed) == 0 && total(Outcome::hung) == 0 && total(Outcome::error) == 0 &&
                       (o.no_check || total(Outcome::load_failed) == 0);
    return clean ? 0 : 1;
}
