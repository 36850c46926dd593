#include "zanit-table/Commands.h"


#include <algorithm>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string_view>

#include "common/Args.h"
#include "xbase/Replace.h"
#include "xbase/Table.h"
#include "zanit-table/Schema.h"
#include "zanit-table/Tsv.h"
#include "zanit-table/Values.h"

namespace zanit_table {
namespace {

namespace fs = std::filesystem;

constexpr int kOk = 0;
constexpr int kBad = 1;
constexpr int kUsage = zanit_tools::kExitUsage;

const char* const kUsageText =
    "usage: zanit-table create TABLE.DBF --schema NAME:TYPE[:LEN[:DEC]],... [--password TEXT]\n"
    "                          [--tag NAME=FIELD ...] [TSV-FILE|-]\n"
    "       zanit-table dump TABLE.DBF [--password TEXT] [--order TAG]\n"
    "       zanit-table verify TABLE.DBF [--password TEXT]\n"
    "       zanit-table reindex TABLE.DBF [--password TEXT] [--tag NAME=FIELD ...]\n"
    "types: C:LEN (1-254), N:LEN[:DEC], L, D, M (text memo), M:B (binary memo)\n";

// Wrong arguments: the message and the usage text, exit 2.
using zanit_tools::UsageError;
// A file or tag that is not there: the message, exit 2.
struct OpenFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Options {
    std::string command;
    std::string table;
    std::string password;
    std::string schema;
    std::string order;
    std::string input;  // TSV file, "-" for standard input, empty for none
    bool hasSchema = false;
    std::vector<std::string> tags;
};

Options ParseArgs(const std::vector<std::string>& args) {
    if (args.empty()) throw UsageError("no command given");
    Options o;
    o.command = args[0];
    if (o.command != "create" && o.command != "dump" && o.command != "verify" && o.command != "reindex")
        throw UsageError("unknown command \"" + o.command + "\"");
    std::vector<std::string> positional;
    zanit_tools::ArgReader reader(args, 1);
    while (!reader.Done()) {
        const std::string a = reader.Next();
        auto value = [&] { return reader.ValueOf(a); };
        if (a == "--password") {
            o.password = value();
        } else if (a == "--schema" && o.command == "create") {
            o.schema = value();
            o.hasSchema = true;
        } else if (a == "--tag" && (o.command == "create" || o.command == "reindex")) {
            o.tags.push_back(value());
        } else if (a == "--order" && o.command == "dump") {
            o.order = value();
        } else if (a.size() > 1 && a[0] == '-') {
            throw UsageError("unknown option " + a + " for " + o.command);
        } else {
            positional.push_back(a);
        }
    }
    const std::size_t maxPositional = o.command == "create" ? 2 : 1;
    if (positional.empty()) throw UsageError("no table given");
    if (positional.size() > maxPositional) throw UsageError("too many arguments");
    o.table = positional[0];
    if (positional.size() == 2) o.input = positional[1];
    if (o.command == "create" && !o.hasSchema) throw UsageError("create needs --schema");
    return o;
}

std::unique_ptr<xbase::Table> OpenTable(const Options& o, bool writable) {
    auto table = std::make_unique<xbase::Table>();
    table->SetFileName(o.table);
    table->SetTableType(xbase::TableType::ttSXNSX);
    table->SetPassword(o.password);
    table->SetReadOnly(!writable);
    table->SetExclusive(writable);
    table->Open();
    return table;
}

// The files the engine made for a table: same folder and stem as the .dbf.
std::vector<fs::path> TableFiles(const fs::path& dbf) {
    std::vector<fs::path> files;
    std::error_code ec;
    const fs::path folder = dbf.has_parent_path() ? dbf.parent_path() : fs::path(".");
    for (const auto& entry : fs::directory_iterator(folder, ec))
        if (entry.path().stem() == dbf.stem() && entry.is_regular_file(ec)) files.push_back(entry.path());
    return files;
}

struct InputError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

bool SameExtension(const fs::path& file, const char* lowerExt) {
    std::string ext = file.extension().string();
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return ext == lowerExt;
}

// A table another program has open is not replaced under it. Anything else wrong with the old table
// (damage, another password) does not matter: it is being replaced.
void RefuseIfInUse(const Options& o) {
    if (!fs::exists(o.table)) return;
    try {
        OpenTable(o, true);
    } catch (const xbase::LockError& e) {
        throw OpenFailure(std::string(e.what()) + "; it is not replaced");
    } catch (const xbase::TableError&) {
    }
}

// Appends one record per TSV line; the first line names the columns.
void Fill(xbase::Table& table, const std::vector<xbase::FieldDef>& fields, std::FILE& in, ValueContext& context) {
    LineReader reader(&in);
    std::string line;
    std::vector<std::string_view> cells;
    if (!reader.Next(line)) throw InputError("the input is empty; the first line must name the fields");
    SplitTsv(line, cells);
    std::vector<std::size_t> columns;  // field index per column
    for (const auto cell : cells) {
        const int index = FindField(fields, cell);
        if (index < 0) throw InputError("line 1: \"" + std::string(cell) + "\" is not a field of the schema");
        const auto i = static_cast<std::size_t>(index);
        if (std::find(columns.begin(), columns.end(), i) != columns.end())
            throw InputError("line 1: field " + fields[i].name + " is given twice");
        columns.push_back(i);
    }
    std::vector<xbase::Field> targets;
    for (const auto c : columns) targets.push_back(table.FieldByName(fields[c].name));
    std::vector<std::string> values(columns.size());
    while (reader.Next(line)) {
        const long long lineNumber = reader.LineNumber();
        SplitTsv(line, cells);
        if (cells.size() != columns.size())
            throw InputError("line " + std::to_string(lineNumber) + ": " + std::to_string(cells.size()) +
                             " fields, the header has " + std::to_string(columns.size()));
        // The whole line is converted before the table is touched, so a bad line adds nothing.
        for (std::size_t i = 0; i < cells.size(); ++i) {
            const auto& def = fields[columns[i]];
            try {
                values[i] = ToStoredValue(def, cells[i], context);
            } catch (const std::invalid_argument& e) {
                throw InputError("line " + std::to_string(lineNumber) + ", field " + def.name + ": " + e.what());
            }
        }
        table.AppendBlank();
        for (std::size_t i = 0; i < values.size(); ++i)
            if (!values[i].empty()) targets[i].SetAsString(values[i]);
        table.Post();
    }
    if (std::ferror(&in)) throw InputError("reading the input failed");
}

int Create(const Options& o, std::FILE* err) {
    std::vector<xbase::FieldDef> fields;
    std::vector<xbase::TagDef> tags;
    try {
        fields = ParseSchema(o.schema);
        for (const auto& t : o.tags) {
            tags.push_back(ParseTag(t, fields));
            for (std::size_t i = 0; i + 1 < tags.size(); ++i)
                if (tags[i].name == tags.back().name) throw UsageError("tag " + tags.back().name + " is given twice");
        }
    } catch (const std::invalid_argument& e) {
        throw UsageError(e.what());
    }

    // Open the input first so that a wrong file name leaves no table behind.
    std::FILE* in = nullptr;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> owned(nullptr, &std::fclose);
    ValueContext context;
    if (o.input == "-") {
        in = stdin;
    } else if (!o.input.empty()) {
        owned.reset(std::fopen(o.input.c_str(), "rb"));
        if (!owned) throw OpenFailure("cannot open \"" + o.input + "\"");
        in = owned.get();
        context.baseDir = fs::path(o.input).parent_path().string();
    }

    const fs::path target(o.table);
    if (target.has_parent_path() && !fs::is_directory(target.parent_path()))
        throw OpenFailure("the folder \"" + target.parent_path().string() + "\" does not exist");
    RefuseIfInUse(o);
    // Built beside the target and switched in as a whole: a kill at any moment leaves the old table or the
    // new one, never the old table with the new memo.
    xbase::TableReplacement replacement(o.table);
    const std::string staged = replacement.StagedPath();
    xbase::Table::Create(staged, fields, tags, o.password);
    {
        xbase::Table table;
        table.SetFileName(staged);
        table.SetPassword(o.password);
        table.SetExclusive(true);
        table.SetSyncOnPost(false);  // Close makes the whole table durable
        table.Open();
        if (in) Fill(table, fields, *in, context);
        table.Close();
    }
    replacement.Commit();
    if (context.unmappable > 0)
        std::fprintf(err, "zanit-table: %zu character(s) outside Windows-1252 replaced by \"?\"\n",
                     context.unmappable);
    return kOk;
}

int Dump(const Options& o, std::FILE* out) {
    auto table = OpenTable(o, false);
    if (!o.order.empty()) {
        const int order = table->TagArea(o.order);
        if (order == 0) throw OpenFailure("the table has no tag \"" + o.order + "\"");
        table->SetOrder(order);
    }
    const auto fields = table->Fields();
    std::vector<xbase::Field> sources;
    std::string buffer;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        sources.push_back(table->FieldByName(fields[i].name));
        if (i) buffer += '\t';
        buffer += fields[i].name;
    }
    buffer += '\n';
    auto flush = [&] {
        if (std::fwrite(buffer.data(), 1, buffer.size(), out) != buffer.size())
            throw InputError("writing the output failed");
        buffer.clear();
    };
    for (table->First(); !table->Eof(); table->Next()) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i) buffer += '\t';
            AppendTsvValue(buffer, fields[i], sources[i].AsString());
        }
        buffer += '\n';
        if (buffer.size() > (1 << 20)) flush();
    }
    flush();
    if (std::fflush(out) != 0) throw InputError("writing the output failed");
    return kOk;
}

int Verify(const Options& o, std::FILE* out) {
    if (!fs::exists(o.table)) throw OpenFailure("\"" + o.table + "\" does not exist");
    // A table that cannot be opened at all (password, lock, unreadable file) is an open error, exit 2;
    // a damaged one is the verifier's finding.
    try {
        OpenTable(o, false);
    } catch (const xbase::FormatError&) {
    }
    std::vector<std::string> notes;
    const std::vector<std::string> problems = xbase::VerifyTable(o.table, o.password, &notes);
    for (const auto& n : notes) std::fprintf(out, "note: %s\n", n.c_str());
    for (const auto& p : problems) std::fprintf(out, "%s\n", p.c_str());
    if (problems.empty()) std::fprintf(out, "%s: fine\n", o.table.c_str());
    return problems.empty() ? kOk : kBad;
}

int Reindex(const Options& o, std::FILE* out) {
    std::vector<xbase::TagDef> tags;
    {
        // The exclusive open proves the password and that nobody else uses the table.
        auto table = OpenTable(o, true);
        tags = table->Tags();
        const auto fields = table->Fields();
        for (const auto& text : o.tags) {
            xbase::TagDef tag;
            try {
                tag = ParseTag(text, fields);
            } catch (const std::invalid_argument& e) {
                throw UsageError(e.what());
            }
            auto same = std::find_if(tags.begin(), tags.end(), [&](const xbase::TagDef& t) { return t.name == tag.name; });
            if (same != tags.end()) *same = tag;
            else tags.push_back(tag);
        }
    }
    for (const auto& tag : tags) xbase::RegisterTagDefinition(tag.name, tag.field);
    // Without its index file the next open builds every registered tag from the records.
    for (const auto& f : TableFiles(o.table))
        if (SameExtension(f, ".zix")) fs::remove(f);
    auto table = OpenTable(o, true);
    for (const auto& tag : tags)
        if (table->TagArea(tag.name) == 0) throw InputError("tag " + tag.name + " could not be built");
    std::fprintf(out, "%s: %u records, %zu tag(s) built\n", o.table.c_str(), table->RecCount(), tags.size());
    return kOk;
}

}  // namespace

int RunTableTool(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    try {
        const Options o = ParseArgs(args);
        try {
            if (o.command == "create") return Create(o, err);
            if (o.command == "dump") return Dump(o, out);
            if (o.command == "verify") return Verify(o, out);
            return Reindex(o, out);
        } catch (const xbase::FormatError& e) {
            // A damaged table: verify reports it as a finding, the other commands cannot work on it.
            std::fprintf(err, "zanit-table: %s\n", e.what());
            return o.command == "verify" ? kBad : kUsage;
        }
    } catch (const UsageError& e) {
        std::fprintf(err, "zanit-table: %s\n%s", e.what(), kUsageText);
        return kUsage;
    } catch (const OpenFailure& e) {
        std::fprintf(err, "zanit-table: %s\n", e.what());
        return kUsage;
    } catch (const xbase::TableError& e) {
        std::fprintf(err, "zanit-table: %s\n", e.what());
        return kUsage;
    } catch (const InputError& e) {
        std::fprintf(err, "zanit-table: %s\n", e.what());
        return kBad;
    } catch (const std::exception& e) {
        std::fprintf(err, "zanit-table: %s\n", e.what());
        return kBad;
    }
}

}  // namespace zanit_table
