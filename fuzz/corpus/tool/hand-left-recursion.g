unit U;
parser P;
a : b | A ;
b : a B | ;
c : c C ;
