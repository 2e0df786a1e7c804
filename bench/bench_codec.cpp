// Encode and decode of a full data set, the work behind every radio read and write.
#include "bench/bench_support.h"
#include "image/image_decoder.h"
#include "image/image_encoder.h"

using namespace chanwright;

int main() {
    constexpr int kRuns = 10000;
    AppState app = bench::MakeRichApp(Model::HV2071P);
    MemoryImage image = app.Image;
    if (EncodeImage(app.Data, image)) {
        std::fprintf(stderr, "the rich data set did not encode\n");
        return 1;
    }
    RadioData decoded = app.Data;
    unsigned sink = 0;

    bench::PrintHeader("bench_codec, HV2071P, full data set", kRuns);
    bench::PrintRow("EncodeImage", bench::Measure(kRuns, [&] {
                        EncodeImage(app.Data, image);
                        sink += image[0x200];
                    }));
    bench::PrintRow("DecodeImage", bench::Measure(kRuns, [&] {
                        DecodeImage(image, decoded);
                        sink += static_cast<unsigned>(decoded.UsaChannels[0].ChTag.size());
                    }));
    // Proof that the runs did the work: the names and the directories came back.
    const bool ok = decoded.UsaChannels == app.Data.UsaChannels &&
                    decoded.IndividualDirectory == app.Data.IndividualDirectory &&
                    decoded.GroupDirectory == app.Data.GroupDirectory && sink != 0;
    if (!ok)
        std::fprintf(stderr, "the decoded data set differs from the encoded one\n");
    return ok ? 0 : 1;
}
