// A parser grammar with const and type sections: its unit declares them, and its actions use them.
unit SectionsParser;
const {
   MaxItems = 3;
}
type {
   TItemCount = 0..MaxItems;
}

parser TSectionsParser;

options {
   importVocab = Sections;
}

memberdecl {
   public
      Count: TItemCount;
}

public list : ( item )* EOF ;

item : X { if Count < MaxItems then Inc( Count); } ;
