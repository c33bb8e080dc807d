/* gendata.c - deterministic benchmark inputs.
 *
 *   gendata json  SIZE_MB FILE   pretty-printed JSON: one array of records with nested objects and
 *                                arrays, strings with escapes, numbers, true/false/null
 *   gendata arith SIZE_MB FILE   one arithmetic expression a line: non-negative integers, + - * /,
 *                                parentheses; every division has a non-zero divisor and every
 *                                intermediate value stays within +-2^40, so Int64 evaluation is exact
 *
 * The same arguments always give the same bytes (a fixed xorshift generator, no clock, no locale).
 * For arith the program also prints the sum of all line values, which the evaluators must reproduce.
 */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static uint64_t State = 0x9E3779B97F4A7C15ull;

static uint32_t Next(void) {
  State ^= State << 13;
  State ^= State >> 7;
  State ^= State << 17;
  return (uint32_t)(State >> 16);
}

static uint32_t Below(uint32_t N) { return Next() % N; }

/* ---- JSON ---------------------------------------------------------------------------------- */

static FILE *Out;
static long long Written;

static void Put(const char *S) { Written += (long long)strlen(S); fputs(S, Out); }
static void PutC(char C) { ++Written; fputc(C, Out); }

static void Indent(int Depth) {
  PutC('\n');
  for (int I = 0; I < Depth; ++I) Put("  ");
}

static const char *Words[] = {"alpha", "beta", "gamma", "delta", "epsilon", "zeta", "eta", "theta",
                              "iota", "kappa", "lambda", "mu", "nu", "xi", "omicron", "pi", "rho",
                              "sigma", "tau", "upsilon", "phi", "chi", "psi", "omega"};
#define WORD_COUNT (sizeof(Words) / sizeof(Words[0]))

static void JsonString(void) {
  PutC('"');
  int Parts = 1 + (int)Below(6);
  for (int P = 0; P < Parts; ++P) {
    if (P) PutC(' ');
    Put(Words[Below(WORD_COUNT)]);
    switch (Below(12)) {
    case 0: Put("\\\""); break;
    case 1: Put("\\\\"); break;
    case 2: Put("\\n"); break;
    case 3: Put("\\t"); break;
    case 4: Put("\\u00e9"); break;
    case 5: Put("\\/"); break;
    default: break;
    }
  }
  PutC('"');
}

static void JsonNumber(void) {
  char Buf[64];
  switch (Below(5)) {
  case 0: snprintf(Buf, sizeof Buf, "%u", Below(100)); break;
  case 1: snprintf(Buf, sizeof Buf, "-%u", 1 + Below(100000)); break;
  case 2: snprintf(Buf, sizeof Buf, "%u.%02u", Below(10000), Below(100)); break;
  case 3: snprintf(Buf, sizeof Buf, "%u.%ue%s%u", 1 + Below(9), Below(1000), Below(2) ? "-" : "+", Below(20)); break;
  default: snprintf(Buf, sizeof Buf, "%u", Below(2000000000u)); break;
  }
  Put(Buf);
}

static void JsonValue(int Depth);

static void JsonObject(int Depth) {
  int Members = Depth > 4 ? (int)Below(3) : 1 + (int)Below(6);
  if (Members == 0) { Put("{}"); return; }
  PutC('{');
  for (int M = 0; M < Members; ++M) {
    if (M) PutC(',');
    Indent(Depth + 1);
    /* Distinct names inside one object: the member index is part of the name. */
    char Name[48];
    snprintf(Name, sizeof Name, "\"%s_%d\": ", Words[Below(WORD_COUNT)], M);
    Put(Name);
    JsonValue(Depth + 1);
  }
  Indent(Depth);
  PutC('}');
}

static void JsonArray(int Depth) {
  int Items = Depth > 4 ? (int)Below(3) : 1 + (int)Below(7);
  if (Items == 0) { Put("[]"); return; }
  PutC('[');
  for (int I = 0; I < Items; ++I) {
    if (I) PutC(',');
    Indent(Depth + 1);
    JsonValue(Depth + 1);
  }
  Indent(Depth);
  PutC(']');
}

static void JsonValue(int Depth) {
  uint32_t R = Below(Depth > 5 ? 7 : 10);
  switch (R) {
  case 0: case 1: JsonString(); break;
  case 2: case 3: JsonNumber(); break;
  case 4: Put("true"); break;
  case 5: Put("false"); break;
  case 6: Put("null"); break;
  case 7: case 8: JsonObject(Depth); break;
  default: JsonArray(Depth); break;
  }
}

static void Json(long long Size) {
  PutC('[');
  for (long long N = 0; Written < Size; ++N) {
    if (N) PutC(',');
    Indent(1);
    JsonObject(1);
  }
  Indent(0);
  PutC(']');
  PutC('\n');
}

/* ---- arithmetic ---------------------------------------------------------------------------- */

#define LIMIT (1LL << 40)

typedef struct {
  char *Text;
  size_t Len, Cap;
} Buffer;

static void Append(Buffer *B, const char *S, size_t N) {
  if (B->Len + N + 1 > B->Cap) {
    B->Cap = 2 * (B->Len + N + 1) + 64;
    B->Text = realloc(B->Text, B->Cap);
  }
  memcpy(B->Text + B->Len, S, N);
  B->Len += N;
  B->Text[B->Len] = 0;
}

static long long Expr(Buffer *B, int Depth);

static long long Factor(Buffer *B, int Depth) {
  if (Depth < 4 && Below(5) == 0) {
    Append(B, "(", 1);
    long long V = Expr(B, Depth + 1);
    Append(B, ")", 1);
    return V;
  }
  char Num[24];
  unsigned V = Below(4) == 0 ? Below(100000) : Below(100);
  int N = snprintf(Num, sizeof Num, "%u", V);
  Append(B, Num, (size_t)N);
  return V;
}

static long long Term(Buffer *B, int Depth) {
  long long V = Factor(B, Depth);
  int Factors = (int)Below(4);
  for (int I = 0; I < Factors; ++I) {
    Buffer F = {0};
    long long W = Factor(&F, Depth);
    int Mul = Below(2);
    if (Mul && W != 0 && llabs(V) > LIMIT / llabs(W)) Mul = 0;
    if (!Mul && W == 0) { free(F.Text); break; }
    Append(B, Mul ? " * " : " / ", 3);
    Append(B, F.Text, F.Len);
    free(F.Text);
    V = Mul ? V * W : V / W; /* C truncates toward zero, as Pascal's div does */
  }
  return V;
}

static long long Expr(Buffer *B, int Depth) {
  long long V = Term(B, Depth);
  int Terms = (int)Below(5);
  for (int I = 0; I < Terms; ++I) {
    Buffer T = {0};
    long long W = Term(&T, Depth);
    int Add = Below(2);
    if (Add && V + W > LIMIT) Add = 0;
    if (!Add && V - W < -LIMIT) Add = 1;
    Append(B, Add ? " + " : " - ", 3);
    Append(B, T.Text, T.Len);
    free(T.Text);
    V = Add ? V + W : V - W;
  }
  return V;
}

static void Arith(long long Size) {
  long long Sum = 0, Lines = 0;
  Buffer B = {0};
  while (Written < Size) {
    B.Len = 0;
    long long V = Expr(&B, 0);
    Append(&B, "\n", 1);
    fwrite(B.Text, 1, B.Len, Out);
    Written += (long long)B.Len;
    Sum += V; /* |V| <= 2^40 and fewer than 2^23 lines: no overflow */
    ++Lines;
  }
  free(B.Text);
  printf("lines %lld sum %lld\n", Lines, Sum);
}

int main(int argc, char **argv) {
  if (argc != 4) {
    fprintf(stderr, "usage: gendata json|arith SIZE_MB FILE\n");
    return 2;
  }
  long long Size = (long long)(atof(argv[2]) * 1024 * 1024);
  Out = fopen(argv[3], "wb");
  if (!Out) { perror(argv[3]); return 2; }
  if (strcmp(argv[1], "json") == 0)
    Json(Size);
  else if (strcmp(argv[1], "arith") == 0)
    Arith(Size);
  else {
    fprintf(stderr, "unknown kind %s\n", argv[1]);
    return 2;
  }
  return fclose(Out) == 0 ? 0 : 1;
}
