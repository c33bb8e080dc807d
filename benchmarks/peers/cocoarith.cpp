// cocoarith.cpp - driver of the Coco/R evaluator of arithmetic expressions (Arith.atg): prints the
// number of lines and the sum of their values.
//
//   cocoarith FILE           evaluate and print the sum
//   cocoarith --tokens FILE  only run the Coco/R scanner and print the token count
#include <cstdio>
#include <cstring>
#include "Parser.h"
#include "Scanner.h"

int main(int argc, char **argv) {
  bool tokens = argc == 3 && std::strcmp(argv[1], "--tokens") == 0;
  if (argc != 2 + tokens) {
    std::fprintf(stderr, "usage: cocoarith [--tokens] FILE\n");
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
  std::printf("lines: %ld\nsum: %lld\n", parser.lines, parser.sum);
  return 0;
}
