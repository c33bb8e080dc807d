// cocojson.cpp - driver of the Coco/R parser of JSON (Json.atg): counts the values of one JSON
// value, as the bison peer (json.y) does.
//
//   cocojson FILE           parse and print the value count
//   cocojson --tokens FILE  only run the Coco/R scanner and print the token count
#include <cstdio>
#include <cstring>
#include "Parser.h"
#include "Scanner.h"

int main(int argc, char **argv) {
  bool tokens = argc == 3 && std::strcmp(argv[1], "--tokens") == 0;
  if (argc != 2 + tokens) {
    std::fprintf(stderr, "usage: cocojson [--tokens] FILE\n");
    return 2;
  }
  FILE *input = std::fopen(argv[argc - 1], "rb");
  if (!input) { std::perror(argv[argc - 1]); return 2; }
  Scanner scanner(input);
  if (tokens) {
    long count = 0;
    for (Token *t = scanner.Scan(); t->kind != 0; t = scanner.Scan())
      ++count;
    std::printf("tokens: %ld\n", count);
    return 0;
  }
  Parser parser(&scanner);
  parser.Parse();
  if (parser.errors->count != 0) return 1;
  std::printf("values: %ld\n", parser.values);
  return 0;
}
