// Opens tables made of arbitrary table, memo and index bytes and reads everything the engine offers:
// every record, field and memo in every order, seeks, skips and the verifier. Nothing may crash, hang or
// read out of bounds; failures must come as TableError.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzInput.h"
#include "xbase/Table.h"

namespace {

const char* const kTags[][2] = {{"IWI1", "WI1"}, {"IWI2", "WI2"}, {"INR", "NR"}, {"IDATEI", "DATEI"}};

std::string TempDir() {
    std::string pattern = (access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + std::string("/fuzz_table.XXXXXX");
    if (!mkdtemp(pattern.data())) std::abort();
    return pattern;
}

void Put(const std::string& path, const std::string& bytes, bool keepEmpty) {
    if (bytes.empty() && !keepEmpty) {
        unlink(path.c_str());
        return;
    }
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0) std::abort();
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) std::abort();
        done += static_cast<std::size_t>(n);
    }
    close(fd);
}

// Every field of the current record, as text and as integer.
void ReadRecord(xbase::Table& table) {
    for (const auto& def : table.Fields()) {
        try {
            auto field = table.FieldByName(def.name);
            const std::string text = field.AsString();
            (void)field.AsInteger();
            if (text.size() > (1u << 26)) std::abort();  // a memo larger than any input: a length went unchecked
        } catch (const xbase::TableError&) {
        }
    }
}

void Walk(xbase::Table& table) {
    table.First();
    for (std::uint32_t n = 0; !table.Eof(); ++n) {
        if (n > table.RecCount()) std::abort();  // the walk must end after at most every record once
        ReadRecord(table);
        table.Next();
    }
}

void Exercise(const std::string& path, const std::string& password, std::size_t keep) {
    xbase::Table table;
    table.SetRecordCache(keep);
    table.SetFileName(path);
    table.SetReadOnly(true);
    table.SetPassword(password);
    try {
        table.Open();
    } catch (const xbase::TableError&) {
        return;
    }
    try {
        Walk(table);
        table.Skip(-1);
        table.Skip(3);
        for (const auto& tag : kTags) {
            const int order = table.TagArea(tag[0]);
            if (order <= 0) continue;
            table.SetOrder(order);
            Walk(table);
            std::string firstKey;
            table.First();
            if (!table.Eof() && table.HasField(tag[1])) firstKey = table.FieldByName(tag[1]).AsString();
            for (const std::string& key : {std::string(), firstKey, firstKey.substr(0, 2), std::string("HAUS"),
                                          std::string("\xff"), std::string("1"), std::string("-5")}) {
                if (table.Seek(key)) ReadRecord(table);
                table.Skip(1);
                table.Skip(-2);
            }
        }
        table.SetOrder(0);
        table.First();
    } catch (const xbase::TableError&) {
    }
    table.Close();
}

// Writes into whatever the bytes hold: append a record with every field set, change the first record,
// then empty the table. Each step may be refused with a TableError, none may corrupt memory.
void Write(const std::string& path, const std::string& password) {
    xbase::Table table;
    table.SetFileName(path);
    table.SetPassword(password);
    table.SetExclusive(true);
    table.SetSyncOnPost(false);
    try {
        table.Open();
    } catch (const xbase::TableError&) {
        return;
    }
    auto fill = [&](const std::string& text) {
        for (const auto& def : table.Fields()) {
            try {
                table.FieldByName(def.name).SetAsString(def.type == 'N' ? "42" : def.type == 'L' ? "T" : def.type == 'D' ? "20240229" : text);
            } catch (const xbase::TableError&) {
            }
        }
    };
    try {
        table.AppendBlank();
        fill(std::string("RIFF\x00\x1a", 6));
        table.Post();
        table.First();
        if (!table.Eof()) {
            table.Edit();
            fill("HAUS");
            table.Post();
        }
        Walk(table);
        table.Zap();
        table.AppendBlank();
        fill("Z");
        table.Post();
    } catch (const xbase::TableError&) {
    }
    try {
        table.Close();  // stores a change whose Post failed, and may fail again
    } catch (const xbase::TableError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string dir = TempDir();
    static const bool registered = [] {
        for (const auto& tag : kTags) xbase::RegisterTagDefinition(tag[0], tag[1]);
        xbase::SetLogHandler([](const std::string&) {});  // repairs are expected here; keep the output readable
        return true;
    }();
    (void)registered;
    const fuzztable::Parts parts = fuzztable::Split(data, size);
    const std::string table = dir + "/F.DBF";
    Put(table, parts.table, true);
    Put(dir + "/F.FPT", parts.memo, false);
    Put(dir + "/F.DBT", parts.memo, false);
    Put(dir + "/F.ZIX", parts.index, false);
    const std::string password = (parts.flags & fuzztable::kFlagPassword) ? fuzztable::kPassword : "";
    // A budget small enough that what is kept is dropped again during the walks.
    const std::size_t keep = (parts.flags & fuzztable::kFlagKeep) ? 1500 : 0;
    Exercise(table, password, keep);
    Exercise(table, password.empty() ? fuzztable::kPassword : "", 0);
    try {
        (void)xbase::VerifyTable(table, password);
    } catch (const xbase::TableError&) {
    }
    if (parts.flags & fuzztable::kFlagWrite) {
        Write(table, password);
        Exercise(table, password, keep);
    }
    return 0;
}
