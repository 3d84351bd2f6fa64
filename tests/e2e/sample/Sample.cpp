// The sample program that the end-to-end test opens: a small console program with calls, a jump
// table and a few strings, so that the refers and string scans have something to find.
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char kGreeting[] = "Sample greeting for the strings list";
const char kFarewell[] = "Sample farewell, also a string";

__attribute__((noinline)) unsigned Checksum(const char* text) {
    unsigned sum = 0x1234;
    for (; *text; ++text)
        sum = sum * 31 + static_cast<unsigned char>(*text);
    return sum;
}

__attribute__((noinline)) int Classify(int value) {
    switch (value % 7) {
    case 0: return value * 3;
    case 1: return value - 11;
    case 2: return value ^ 0x55;
    case 3: return value / 5;
    case 4: return value + 1000;
    case 5: return -value;
    default: return 0;
    }
}

}  // namespace

int main(int argc, char** argv) {
    unsigned total = Checksum(kGreeting) + Checksum(argc > 1 ? argv[1] : kFarewell);
    for (int i = 0; i < argc + 6; ++i)
        total += static_cast<unsigned>(Classify(i));
    std::printf("%s: %u\n", kGreeting, total);
    std::puts(kFarewell);
    return static_cast<int>(std::strlen(kFarewell)) == 0 ? EXIT_FAILURE : EXIT_SUCCESS;
}
