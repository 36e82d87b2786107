// Loads and saves a drawing of 100,000 attributed block references and
// prints the time ezdxf needs for the same file on the same machine.
//
// The drawing is made from a small one that ezdxf writes (one block with
// three attribute definitions and one reference); its reference is repeated
// with fresh handles, positions and texts.
#include <dbdatabase.h>
#include "dbmain.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kReferences = 100000;

std::string g_dir;
std::string g_drawing;

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

struct Group {
    std::string code, value;
};

std::vector<Group> Groups(const std::string& text)
{
    std::vector<Group> groups;
    std::istringstream in(text);
    std::string code, value;
    while (std::getline(in, code) && std::getline(in, value))
        groups.push_back({code, value});
    return groups;
}

std::string Hex(unsigned long n)
{
    char text[32];
    std::snprintf(text, sizeof text, "%lX", n);
    return text;
}

bool MakeDrawing()
{
    std::string templ = g_dir + "/template.dxf";
    std::string script = "import ezdxf\n"
                         "doc = ezdxf.new('R2018')\n"
                         "b = doc.blocks.new('TAG')\n"
                         "b.add_circle((0, 0), 1)\n"
                         "for i, t in enumerate(('NUMBER', 'NAME', 'SIZE')):\n"
                         "    b.add_attdef(t, insert=(0, 2 * i), text='x', height=0.5)\n"
                         "r = doc.modelspace().add_blockref('TAG', (0, 0))\n"
                         "r.add_auto_attribs({'NUMBER': '0', 'NAME': 'n', 'SIZE': 's'})\n"
                         "doc.saveas('"
        + templ + "')\n";
    std::string command = "/usr/bin/python3 -c \"" + script + "\"";
    if (std::system(command.c_str()) != 0)
        return false;
    std::vector<Group> groups = Groups(ReadAll(templ));
    // The reference: from its INSERT to the end of its SEQEND.
    std::size_t begin = 0, end = 0;
    for (std::size_t i = 0; i < groups.size(); ++i) {
        if (groups[i].code == "  0" && groups[i].value == "INSERT")
            begin = i;
        if (begin && groups[i].code == "  0" && groups[i].value == "SEQEND") {
            end = i + 1;
            while (end < groups.size() && groups[end].code != "  0")
                ++end;
            break;
        }
    }
    if (!begin || !end)
        return false;
    std::ostringstream out;
    auto put = [&](const Group& g) { out << g.code << '\n' << g.value << '\n'; };
    for (std::size_t i = 0; i < begin; ++i)
        put(groups[i]);
    unsigned long handle = 0x10000;
    for (int n = 0; n < kReferences; ++n) {
        std::string insertHandle;
        std::string type;
        int attribute = -1;
        for (std::size_t i = begin; i < end; ++i) {
            Group g = groups[i];
            std::string code = g.code.substr(g.code.find_first_not_of(' '));
            if (code == "0") {
                type = g.value;
                attribute += type == "ATTRIB";
            } else if (code == "5") {
                g.value = Hex(handle++);
                if (type == "INSERT")
                    insertHandle = g.value;
            } else if (code == "330" && type != "INSERT") {
                g.value = insertHandle;
            } else if (code == "10" || code == "11") {
                g.value = std::to_string(std::atof(g.value.c_str()) + (n % 1000) * 10.0);
            } else if (code == "20" || code == "21") {
                g.value = std::to_string(std::atof(g.value.c_str()) + (n / 1000) * 10.0);
            } else if (code == "1" && type == "ATTRIB") {
                g.value = attribute == 0 ? std::to_string(n) : attribute == 1 ? "Name " + std::to_string(n) : "Size";
            }
            put(g);
        }
    }
    for (std::size_t i = end; i < groups.size(); ++i) {
        Group g = groups[i];
        if (i > 0 && groups[i - 1].value == "$HANDSEED")
            g.value = Hex(handle);
        put(g);
    }
    std::ofstream(g_drawing, std::ios::binary) << out.str();
    return true;
}

void BM_LoadDrawing(benchmark::State& state)
{
    for (auto _ : state) {
        AcDbDatabase db(false);
        if (db.readDxfFile(g_drawing.c_str()) != Acad::eOk)
            state.SkipWithError(DxfErrorMessage(db).c_str());
    }
    state.counters["references"] = kReferences;
}
BENCHMARK(BM_LoadDrawing)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LoadChangeAndSaveDrawing(benchmark::State& state)
{
    std::string target = g_dir + "/saved.dxf";
    for (auto _ : state) {
        AcDbDatabase db(false);
        if (db.readDxfFile(g_drawing.c_str()) != Acad::eOk)
            state.SkipWithError(DxfErrorMessage(db).c_str());
        // Move every hundredth reference so that saving writes changed records too.
        for (unsigned long h = 0x10000; h < 0x10000 + 5ul * kReferences; h += 500) {
            AcDbObjectId id;
            db.getAcDbObjectId(id, false, AcDbHandle(static_cast<Adesk::UInt32>(h), 0));
            AcDbEntity* e = nullptr;
            if (acdbOpenAcDbEntity(e, id, AcDb::kForWrite) == Acad::eOk) {
                e->setLayer("0");
                e->close();
            }
        }
        if (db.dxfOut(target.c_str()) != Acad::eOk)
            state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_LoadChangeAndSaveDrawing)->Unit(benchmark::kMillisecond)->Iterations(3);

double EzdxfSeconds()
{
    std::string result = g_dir + "/ezdxf_seconds.txt";
    std::string command = "/usr/bin/python3 -c \"import ezdxf, time; t = time.perf_counter(); "
                          "d = ezdxf.readfile('"
        + g_drawing + "'); d.saveas('" + g_dir + "/ezdxf_saved.dxf'); "
        + "open('" + result + "', 'w').write(str(time.perf_counter() - t))\"";
    if (std::system(command.c_str()) != 0)
        return -1;
    return std::atof(ReadAll(result).c_str());
}

} // namespace

int main(int argc, char** argv)
{
    char dir[] = "/tmp/gw_dxf_bench_XXXXXX";
    if (!::mkdtemp(dir))
        return 1;
    g_dir = dir;
    g_drawing = g_dir + "/references.dxf";
    if (!MakeDrawing()) {
        std::fprintf(stderr, "could not make the drawing (needs /usr/bin/python3 with ezdxf)\n");
        return 1;
    }
    std::printf("drawing: %d attributed references, %.1f MB\n", kReferences, ReadAll(g_drawing).size() / 1e6);
    benchmark::Initialize(&argc, argv);
    auto start = std::chrono::steady_clock::now();
    {
        AcDbDatabase db(false);
        db.readDxfFile(g_drawing.c_str());
        db.dxfOut((g_dir + "/once.dxf").c_str());
    }
    double ours = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    benchmark::RunSpecifiedBenchmarks();
    double theirs = EzdxfSeconds();
    std::printf("load + save, one run: Gridwell %.3f s, ezdxf %.3f s, %.1fx faster\n", ours, theirs,
                theirs > 0 && ours > 0 ? theirs / ours : 0.0);
    std::system(("rm -rf " + g_dir).c_str());
    benchmark::Shutdown();
    return 0;
}
