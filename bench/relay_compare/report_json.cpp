#include <cmath>

#include "json_writer.h"
#include "report.h"
#include "statistics.h"

namespace relay_compare {

namespace {

void writeNumbers(JsonWriter& json, const std::vector<double>& values) {
    json.beginArray();
    for (const double value : values) json.number(value);
    json.endArray();
}

void writeLatency(JsonWriter& json, const std::vector<double>& samples, const std::vector<double>& medians) {
    const Spread spread = spreadOf(samples);
    json.beginObject();
    json.key("p50_us").number(spread.p50);
    json.key("p99_us").number(spread.p99);
    json.key("max_us").number(spread.max);
    json.key("samples").integer(static_cast<long long>(spread.samples));
    json.key("round_medians_us");
    writeNumbers(json, medians);
    json.endObject();
}

void writeStream(JsonWriter& json, const StreamResult& stream) {
    json.beginObject();
    json.key("frames").integer(stream.frames);
    json.key("received").integer(stream.received);
    json.key("seconds").number(stream.seconds);
    json.key("frames_per_second").number(stream.framesPerSecond());
    json.key("relay_cpu_us_per_frame").number(stream.cpuMicrosecondsPerFrame());
    json.key("error").text(stream.error);
    if (!stream.checkpoints.empty()) {
        json.key("checkpoints").beginArray();
        for (const MemoryCheckpoint& checkpoint : stream.checkpoints) {
            json.beginObject();
            json.key("frames").integer(checkpoint.frames);
            json.key("vm_rss_kib").integer(checkpoint.residentKiB);
            json.key("vm_hwm_kib").integer(checkpoint.peakKiB);
            json.endObject();
        }
        json.endArray();
        json.key("peak_vm_hwm_kib").integer(stream.peakKiB);
    }
    json.endObject();
}

void writeSubject(JsonWriter& json, const SubjectResults& subject) {
    json.beginObject();
    json.key("command").text(subject.commandLine);
    json.key("version").text(subject.version);
    json.key("latency").beginObject();
    json.key("board_to_program");
    writeLatency(json, subject.boardToProgram, subject.boardToProgramMedians);
    json.key("program_to_board");
    writeLatency(json, subject.programToBoard, subject.programToBoardMedians);
    json.key("errors").beginArray();
    for (const std::string& error : subject.latencyErrors) json.text(error);
    json.endArray();
    json.endObject();

    json.key("throughput").beginObject();
    json.key("frames_per_second").number(subject.throughput());
    json.key("relay_cpu_us_per_frame").number(subject.cpuMicrosecondsPerFrame());
    json.key("rounds").beginArray();
    for (const StreamResult& round : subject.throughputRounds) writeStream(json, round);
    json.endArray();
    json.endObject();

    json.key("idle").beginObject();
    json.key("seconds").number(subject.idle.seconds);
    const double scheduled = subject.idle.used.scheduledMicroseconds;
    json.key("cpu_ms_scheduler").number(scheduled >= 0 ? scheduled / 1000.0 : std::nan(""));
    json.key("cpu_ms_stat").number(subject.idle.used.statMilliseconds);
    json.key("wakeups").integer(subject.idle.used.timesScheduled);
    json.key("vm_rss_kib").integer(subject.idle.residentKiB);
    json.key("error").text(subject.idle.error);
    json.endObject();

    json.key("soak");
    writeStream(json, subject.soak);
    json.endObject();
}

}  // namespace

void writeJson(std::ostream& out, const Comparison& comparison, const std::vector<Target>& targets) {
    const Options& options = comparison.options;
    JsonWriter json(out);
    json.beginObject();
    json.key("started").text(comparison.startedAt);
    json.key("machine").beginObject();
    json.key("cores").integer(comparison.machine.cores);
    json.key("model").text(comparison.machine.model);
    json.key("kernel").text(comparison.machine.kernel);
    json.key("load_average_at_start").text(comparison.loadAtStart);
    json.key("load_average_at_end").text(comparison.loadAtEnd);
    json.endObject();

    json.key("run").beginObject();
    json.key("mode").text(options.quick ? "quick" : "full");
    json.key("rounds").integer(options.rounds);
    json.key("latency_frames_per_round").integer(options.latencyFrames);
    json.key("warm_up_frames").integer(options.warmUpFrames);
    json.key("throughput_frames_per_round").integer(options.throughputFrames);
    json.key("soak_frames").integer(options.soakFrames);
    json.key("idle_seconds").number(options.idleSeconds);
    json.endObject();

    json.key("subjects").beginObject();
    for (const SubjectResults& subject : comparison.subjects) {
        json.key(subject.name);
        writeSubject(json, subject);
    }
    json.endObject();

    // damrelay's figures over socat's.
    json.key("latency_ratios").beginObject();
    const std::pair<const char*, std::vector<double> SubjectResults::*> directions[] = {
        {"board_to_program", &SubjectResults::boardToProgram}, {"program_to_board", &SubjectResults::programToBoard}};
    for (const auto& [name, samples] : directions) {
        const Spread ours = spreadOf(comparison.subjects.at(0).*samples);
        const Spread theirs = spreadOf(comparison.subjects.at(1).*samples);
        json.key(name).beginObject();
        json.key("p50").number(latencyRatio(ours.p50, theirs.p50));
        json.key("p99").number(latencyRatio(ours.p99, theirs.p99));
        json.key("max").number(latencyRatio(ours.max, theirs.max));
        json.endObject();
    }
    json.endObject();

    json.key("problems").beginArray();
    for (const std::string& problem : problemsOf(comparison)) json.text(problem);
    json.endArray();

    json.key("targets").beginArray();
    for (const Target& target : targets) {
        json.beginObject();
        json.key("key").text(target.key);
        json.key("goal").text(target.goal);
        json.key("figure").text(target.figure);
        json.key("measured").boolean(target.measured);
        json.key("met").boolean(target.met);
        json.endObject();
    }
    json.endArray();
    json.endObject();
}

}  // namespace relay_compare
