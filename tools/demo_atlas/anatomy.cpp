#include "tools/demo_atlas/anatomy.h"

#include <array>
#include <iterator>
#include <string>

#include "platform/core/cp1252.h"

namespace ostrelin {

namespace {

struct Entry {
  const char* label;  // without its side suffix
  const char* name;   // UTF-8 here, Windows-1252 in the atlas
  BrainRegion region;
};

using R = BrainRegion;
constexpr Entry kNames[] = {
    // Grey matter regions of the anatomical labelling atlas.
    {"Precentral", "Gyrus praecentralis", R::kFrontal},
    {"Frontal_Sup", "Gyrus frontalis superior", R::kFrontal},
    {"Frontal_Sup_Orb", "Gyrus frontalis superior, Pars orbitalis", R::kFrontal},
    {"Frontal_Mid", "Gyrus frontalis medius", R::kFrontal},
    {"Frontal_Mid_Orb", "Gyrus frontalis medius, Pars orbitalis", R::kFrontal},
    {"Frontal_Inf_Oper", "Gyrus frontalis inferior, Pars opercularis", R::kFrontal},
    {"Frontal_Inf_Tri", "Gyrus frontalis inferior, Pars triangularis", R::kFrontal},
    {"Frontal_Inf_Orb", "Gyrus frontalis inferior, Pars orbitalis", R::kFrontal},
    {"Rolandic_Oper", "Operculum rolandicum", R::kFrontal},
    {"Supp_Motor_Area", "Supplementär-motorisches Areal", R::kFrontal},
    {"Olfactory", "Cortex olfactorius", R::kFrontal},
    {"Frontal_Sup_Medial", "Gyrus frontalis superior, Pars medialis", R::kFrontal},
    {"Frontal_Med_Orb", "Gyrus frontalis medialis, Pars orbitalis", R::kFrontal},
    {"Rectus", "Gyrus rectus", R::kFrontal},
    {"Insula", "Insula", R::kInsula},
    {"Cingulum_Ant", "Gyrus cinguli, Pars anterior", R::kLimbic},
    {"Cingulum_Mid", "Gyrus cinguli, Pars media", R::kLimbic},
    {"Cingulum_Post", "Gyrus cinguli, Pars posterior", R::kLimbic},
    {"Hippocampus", "Hippocampus", R::kLimbic},
    {"ParaHippocampal", "Gyrus parahippocampalis", R::kLimbic},
    {"Amygdala", "Corpus amygdaloideum", R::kLimbic},
    {"Calcarine", "Cortex calcarinus", R::kOccipital},
    {"Cuneus", "Cuneus", R::kOccipital},
    {"Lingual", "Gyrus lingualis", R::kOccipital},
    {"Occipital_Sup", "Gyrus occipitalis superior", R::kOccipital},
    {"Occipital_Mid", "Gyrus occipitalis medius", R::kOccipital},
    {"Occipital_Inf", "Gyrus occipitalis inferior", R::kOccipital},
    {"Fusiform", "Gyrus fusiformis", R::kTemporal},
    {"Postcentral", "Gyrus postcentralis", R::kParietal},
    {"Parietal_Sup", "Lobulus parietalis superior", R::kParietal},
    {"Parietal_Inf", "Lobulus parietalis inferior", R::kParietal},
    {"SupraMarginal", "Gyrus supramarginalis", R::kParietal},
    {"Angular", "Gyrus angularis", R::kParietal},
    {"Precuneus", "Praecuneus", R::kParietal},
    {"Paracentral_Lobule", "Lobulus paracentralis", R::kParietal},
    {"Caudate", "Nucleus caudatus", R::kDeep},
    {"Putamen", "Putamen", R::kDeep},
    {"Pallidum", "Globus pallidus", R::kDeep},
    {"Thalamus", "Thalamus", R::kDeep},
    {"Heschl", "Gyri temporales transversi", R::kTemporal},
    {"Temporal_Sup", "Gyrus temporalis superior", R::kTemporal},
    {"Temporal_Pole_Sup", "Polus temporalis, Gyrus superior", R::kTemporal},
    {"Temporal_Mid", "Gyrus temporalis medius", R::kTemporal},
    {"Temporal_Pole_Mid", "Polus temporalis, Gyrus medius", R::kTemporal},
    {"Temporal_Inf", "Gyrus temporalis inferior", R::kTemporal},
    {"Cerebelum_Crus1", "Kleinhirn, Crus I", R::kCerebellum},
    {"Cerebelum_Crus2", "Kleinhirn, Crus II", R::kCerebellum},
    {"Cerebelum_3", "Kleinhirn, Lobulus III", R::kCerebellum},
    {"Cerebelum_4_5", "Kleinhirn, Lobuli IV und V", R::kCerebellum},
    {"Cerebelum_6", "Kleinhirn, Lobulus VI", R::kCerebellum},
    {"Cerebelum_7b", "Kleinhirn, Lobulus VIIB", R::kCerebellum},
    {"Cerebelum_8", "Kleinhirn, Lobulus VIII", R::kCerebellum},
    {"Cerebelum_9", "Kleinhirn, Lobulus IX", R::kCerebellum},
    {"Cerebelum_10", "Kleinhirn, Flocculus", R::kCerebellum},
    {"Vermis_1_2", "Vermis cerebelli, Lobuli I und II", R::kCerebellum},
    {"Vermis_3", "Vermis cerebelli, Lobulus III", R::kCerebellum},
    {"Vermis_4_5", "Vermis cerebelli, Lobuli IV und V", R::kCerebellum},
    {"Vermis_6", "Vermis cerebelli, Lobulus VI", R::kCerebellum},
    {"Vermis_7", "Vermis cerebelli, Lobulus VII", R::kCerebellum},
    {"Vermis_8", "Vermis cerebelli, Lobulus VIII", R::kCerebellum},
    {"Vermis_9", "Vermis cerebelli, Lobulus IX", R::kCerebellum},
    {"Vermis_10", "Vermis cerebelli, Lobulus X", R::kCerebellum},
    // Tracts of the white-matter atlas.
    {"Middle_cerebellar_peduncle", "Pedunculus cerebellaris medius", R::kWhiteMatter},
    {"Pontine_crossing_tract_(a_part_of_MCP)", "Fibrae pontis transversae", R::kWhiteMatter},
    {"Genu_of_corpus_callosum", "Corpus callosum, Genu", R::kWhiteMatter},
    {"Body_of_corpus_callosum", "Corpus callosum, Truncus", R::kWhiteMatter},
    {"Splenium_of_corpus_callosum", "Corpus callosum, Splenium", R::kWhiteMatter},
    {"Fornix_(column_and_body_of_fornix)", "Fornix", R::kLimbic},
    {"Corticospinal_tract", "Tractus corticospinalis", R::kWhiteMatter},
    {"Medial_lemniscus", "Lemniscus medialis", R::kWhiteMatter},
    {"Inferior_cerebellar_peduncle", "Pedunculus cerebellaris inferior", R::kWhiteMatter},
    {"Superior_cerebellar_peduncle", "Pedunculus cerebellaris superior", R::kWhiteMatter},
    {"Cerebral_peduncle", "Crus cerebri", R::kWhiteMatter},
    {"Anterior_limb_of_internal_capsule", "Capsula interna, Crus anterius", R::kWhiteMatter},
    {"Posterior_limb_of_internal_capsule", "Capsula interna, Crus posterius", R::kWhiteMatter},
    {"Retrolenticular_part_of_internal_capsule", "Capsula interna, Pars retrolentiformis",
     R::kWhiteMatter},
    {"Anterior_corona_radiata", "Corona radiata, Pars anterior", R::kWhiteMatter},
    {"Superior_corona_radiata", "Corona radiata, Pars superior", R::kWhiteMatter},
    {"Posterior_corona_radiata", "Corona radiata, Pars posterior", R::kWhiteMatter},
    {"Posterior_thalamic_radiation_(include_optic_radiation)", "Radiatio optica", R::kWhiteMatter},
    {"Sagittal_stratum_(include_inferior_longitidinal_fasciculus_and_inferior_fronto-occipital_"
     "fasciculus)",
     "Stratum sagittale", R::kWhiteMatter},
    {"External_capsule", "Capsula externa", R::kWhiteMatter},
    {"Cingulum_(cingulate_gyrus)", "Cingulum, Pars cingularis", R::kWhiteMatter},
    {"Cingulum_(hippocampus)", "Cingulum, Pars hippocampalis", R::kWhiteMatter},
    {"Fornix_(cres)_/_Stria_terminalis_(can_not_be_resolved_with_current_resolution)",
     "Crus fornicis und Stria terminalis", R::kLimbic},
    {"Superior_longitudinal_fasciculus", "Fasciculus longitudinalis superior", R::kWhiteMatter},
    {"Superior_fronto-occipital_fasciculus_(could_be_a_part_of_anterior_internal_capsule)",
     "Fasciculus fronto-occipitalis superior", R::kWhiteMatter},
    {"Uncinate_fasciculus", "Fasciculus uncinatus", R::kWhiteMatter},
    {"Tapetum", "Tapetum", R::kWhiteMatter},
};

struct RegionInfo {
  const char* name;
  Rgb colour;
  const char* text;
};
constexpr RegionInfo kRegions[] = {
    {"Stirnlappen (Lobus frontalis)",
     {120, 160, 230},
     "Der Stirnlappen reicht vom Stirnpol bis zum Sulcus centralis. Im Gyrus praecentralis liegt "
     "die primär-motorische Rinde; davor planen prämotorische und präfrontale Areale Bewegung, "
     "Handlung und Verhalten. Links liegt im Gyrus frontalis inferior meist das motorische "
     "Sprachzentrum (Broca)."},
    {"Scheitellappen (Lobus parietalis)",
     {240, 200, 90},
     "Der Scheitellappen beginnt hinter dem Sulcus centralis. Der Gyrus postcentralis ist die "
     "primär-somatosensible Rinde; die Lobuli parietales verknüpfen Tasten, Sehen und "
     "Körperschema, der Gyrus angularis und der Gyrus supramarginalis dienen Sprache und "
     "Rechnen."},
    {"Schläfenlappen (Lobus temporalis)",
     {120, 200, 120},
     "Der Schläfenlappen liegt unter dem Sulcus lateralis. Die Gyri temporales transversi tragen "
     "die primäre Hörrinde; der hintere Gyrus temporalis superior enthält links das sensorische "
     "Sprachzentrum (Wernicke), die basalen Gyri dienen dem Erkennen von Objekten und Gesichtern."},
    {"Hinterhauptslappen (Lobus occipitalis)",
     {230, 130, 110},
     "Der Hinterhauptslappen ist der Sehlappen. Um den Sulcus calcarinus liegt die primäre "
     "Sehrinde (Area striata); die umgebenden Gyri verarbeiten Form, Farbe und Bewegung."},
    {"Limbisches System",
     {210, 120, 200},
     "Gyrus cinguli, Gyrus parahippocampalis, Hippocampus und Corpus amygdaloideum bilden den "
     "limbischen Ring um Balken und Zwischenhirn: Gedächtnis, Gefühl und Antrieb."},
    {"Inselrinde (Insula)",
     {240, 160, 60},
     "Die Insel liegt in der Tiefe des Sulcus lateralis, von den Opercula des Stirn-, Scheitel- "
     "und Schläfenlappens bedeckt; sie verarbeitet Geschmack, Eingeweide- und Körperempfindungen."},
    {"Basalganglien und Thalamus",
     {150, 110, 200},
     "Nucleus caudatus, Putamen und Globus pallidus steuern als Basalganglien die Motorik; der "
     "Thalamus ist das Tor zur Großhirnrinde für fast alle sensiblen Bahnen."},
    {"Kleinhirn (Cerebellum)",
     {100, 190, 190},
     "Das Kleinhirn in der hinteren Schädelgrube stimmt Bewegungen fein ab und hält das "
     "Gleichgewicht; der Wurm (Vermis) liegt in der Mitte zwischen den Hemisphären."},
    {"Weiße Substanz",
     {235, 235, 215},
     "Die Bahnen der weißen Substanz verbinden die Rindenfelder: Balken (Corpus callosum) beide "
     "Hemisphären, Capsula interna und Corona radiata die Rinde mit Hirnstamm und Rückenmark."},
    {"Weitere Strukturen", {190, 190, 190}, "Weitere Strukturen dieses Schnitts."},
};

}  // namespace

AnatomicalName NameOfBrainLabel(std::string_view label) {
  std::string_view base = label;
  std::string side;
  if (base.ends_with("_L")) {
    side = " links";
    base.remove_suffix(2);
  } else if (base.ends_with("_R")) {
    side = " rechts";
    base.remove_suffix(2);
  }
  for (const Entry& e : kNames) {
    if (base == e.label) return {Utf8ToCp1252(e.name) + side, e.region, true};
  }
  std::string plain(label);
  for (char& c : plain) {
    if (c == '_' || c == '#' || c == '&' || c == '{' || c == '}' || c == '$') c = ' ';
  }
  return {Utf8ToCp1252(plain), BrainRegion::kOther, false};
}

std::string_view RegionName(BrainRegion region) {
  static const auto names = [] {
    std::array<std::string, std::size(kRegions)> n;
    for (size_t i = 0; i < n.size(); ++i) n[i] = Utf8ToCp1252(kRegions[i].name);
    return n;
  }();
  return names[size_t(region)];
}

Rgb RegionColour(BrainRegion region) { return kRegions[size_t(region)].colour; }

std::string_view RegionText(BrainRegion region) {
  static const auto texts = [] {
    std::array<std::string, std::size(kRegions)> n;
    for (size_t i = 0; i < n.size(); ++i) n[i] = Utf8ToCp1252(kRegions[i].text);
    return n;
  }();
  return texts[size_t(region)];
}

}  // namespace ostrelin
