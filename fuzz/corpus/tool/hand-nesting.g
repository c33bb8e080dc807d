unit U;
parser P;
r : ( ( ( ( ( ( ( ( A ) ) ) ) ) ) ) )* ;
